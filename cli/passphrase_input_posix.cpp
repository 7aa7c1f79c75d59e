// vwg's passphrase input on POSIX systems (cli/passphrase_input_system.h):
// the controlling terminal, with echo off and the signals that may come
// meanwhile, and what keeps secrets in the process.
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <iterator>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include "base/owned.h"
#include "cli/passphrase_input.h"
#include "cli/passphrase_input_system.h"
#include "keys/passphrase_rule.h"
#include "resources/strings.h"

namespace {

int NoDescriptor() { return -1; }
using Descriptor = Owned<EmptyIs<int, NoDescriptor, close>>;

// The terminal while echo is off, its settings before and during, and the
// prompt shown on it, for the signal handlers below.
int QuietTerminal = -1;
termios Saved, Quiet;
const char* ShownPrompt = "";

// The signals that vwg handles while echo is off: the ones that end it, and
// Ctrl-Z's, which stops it.
constexpr int kTerminalSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGTSTP};

void Handle(int signal, void (*handler)(int)) {
  struct sigaction action = {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;  // the read of the line goes on after a stop
  sigaction(signal, &action, nullptr);
}

// A signal that ends vwg while echo is off gives the terminal its echo back
// first. The signal is blocked while its handler runs: raised again, it
// takes its default action as the handler returns.
void RestoreAndRaise(int signal) {
  tcsetattr(QuietTerminal, TCSAFLUSH, &Saved);
  Handle(signal, SIG_DFL);
  raise(signal);
}

// Ctrl-Z at the prompt: the shell gets the terminal back with its echo
// while vwg is stopped, and when vwg goes on, echo goes off again and the
// prompt shows anew (what was typed before the stop is dropped, by the
// terminal and here).
void StopWithEcho(int signal) {
  const int error = errno;
  tcsetattr(QuietTerminal, TCSAFLUSH, &Saved);
  Handle(signal, SIG_DFL);
  raise(signal);
  sigset_t stop;
  sigemptyset(&stop);
  sigaddset(&stop, signal);
  sigprocmask(SIG_UNBLOCK, &stop, nullptr);  // vwg stops here until it is continued
  Handle(signal, StopWithEcho);
  tcsetattr(QuietTerminal, TCSAFLUSH, &Quiet);
  [[maybe_unused]] const ssize_t shown = write(QuietTerminal, ShownPrompt, std::strlen(ShownPrompt));
  errno = error;
}

// One line of the terminal into passphrase, without its line end; false
// when it is longer than a passphrase may be.
bool ReadLine(int fd, Passphrase& passphrase) {
  size_t n = 0;
  bool fits = true;
  char c;
  while (read(fd, &c, 1) == 1 && c != '\n') {
    if (n < kMaxPassphraseBytes) {
      passphrase.buffer()[n++] = static_cast<uint8_t>(c);
    } else {
      fits = false;
    }
  }
  if (!fits) {
    passphrase.Clear();
    return false;
  }
  passphrase.SetSize(n);
  return true;
}

}  // namespace

// The controlling terminal, not standard input: that carries the message,
// and a passphrase must be typed by a person. A signal that vwg was started
// with ignored (nohup's SIGHUP, Ctrl-Z's without job control) stays ignored.
bool AskTerminal(const char* prompt, Passphrase& passphrase) {
  const Descriptor tty(open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC));
  if (!tty || tcgetattr(tty.get(), &Saved) != 0) return false;
  Quiet = Saved;
  Quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
  Quiet.c_lflag |= ECHONL;  // the line end still shows, so the next output starts on a line of its own
  QuietTerminal = tty.get();
  ShownPrompt = prompt;
  struct sigaction before[std::size(kTerminalSignals)];
  for (size_t i = 0; i < std::size(kTerminalSignals); ++i) {
    const int signal = kTerminalSignals[i];
    sigaction(signal, nullptr, &before[i]);
    if (before[i].sa_handler != SIG_IGN) Handle(signal, signal == SIGTSTP ? StopWithEcho : RestoreAndRaise);
  }
  // Echo goes off before the prompt shows: whatever is typed after it stays
  // unseen. What was typed before it is dropped.
  tcsetattr(tty.get(), TCSAFLUSH, &Quiet);
  const bool shown = write(tty.get(), prompt, std::strlen(prompt)) >= 0;
  const bool fits = shown && ReadLine(tty.get(), passphrase);
  tcsetattr(tty.get(), TCSAFLUSH, &Saved);
  for (size_t i = 0; i < std::size(kTerminalSignals); ++i) sigaction(kTerminalSignals[i], &before[i], nullptr);
  if (!shown) return false;
  if (!fits) RefuseFault(IDS_PASSPHRASE_TOO_LONG);
  if (const int fault = PassphraseFault(passphrase.data(), passphrase.size())) {
    passphrase.Clear();
    RefuseFault(fault);
  }
  return true;
}

// One device and inode: a pipe or a terminal as well as a file.
bool IsStandardInput(const std::string& path) {
  struct stat in, file;
  return fstat(STDIN_FILENO, &in) == 0 && stat(path.c_str(), &file) == 0 && in.st_dev == file.st_dev &&
         in.st_ino == file.st_ino;
}

// A core file would hold the secrets, and so would the memory that a
// debugger or /proc/PID/mem reads; both are refused to a process that is
// not dumpable, and so is its /proc/PID/environ and the like, whose owner
// becomes root.
void KeepSecretsInProcess() {
  const rlimit none = {0, 0};
  setrlimit(RLIMIT_CORE, &none);
  prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
}
