#include "cli/passphrase_input.h"

#include <cstdio>
#include <cstring>
#include <iterator>

#include "cli/command_support.h"
#include "cli/report_error.h"
#include "keys/file_io.h"
#include "keys/key_files.h"
#include "keys/locked_memory.h"
#include "keys/owned.h"
#include "keys/passphrase_rule.h"
#include "resources/strings.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace {

// Ends vwg for a passphrase that breaks the rule (fault: its text's id).
void RefuseFault(int fault) {
  if (fault) ReportError(StringText(fault), true);
}

#ifdef _WIN32

struct ConsoleTraits {
  using Handle = HANDLE;
  static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { CloseHandle(h); }
};
using Console = Owned<ConsoleTraits>;

Console OpenConsole(const char* name) {
  return Console(CreateFileA(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr));
}

void Write(const Console& out, const char* text) {
  DWORD written = 0;
  WriteConsoleA(out.get(), text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
}

// The console's own input, read as UTF-16 so that every character typed
// arrives, into locked memory; a line without its end in the buffer is
// longer than any passphrase.
bool AskTerminal(const char* prompt, Passphrase& passphrase) {
  const Console in = OpenConsole("CONIN$"), out = OpenConsole("CONOUT$");
  DWORD mode = 0;
  if (!in || !out || !GetConsoleMode(in.get(), &mode)) return false;
  Write(out, prompt);
  SetConsoleMode(in.get(), (mode | ENABLE_LINE_INPUT | ENABLE_PROCESSED_INPUT) & ~ENABLE_ECHO_INPUT);
  constexpr DWORD kUnits = kMaxPassphraseBytes + 2;
  const LockedMemory memory(kUnits * sizeof(wchar_t));
  wchar_t* wide = reinterpret_cast<wchar_t*>(memory.data());
  DWORD got = 0;
  const bool read = ReadConsoleW(in.get(), wide, kUnits, &got, nullptr) != 0;
  SetConsoleMode(in.get(), mode);
  Write(out, "\r\n");
  DWORD length = read ? got : 0;
  const bool whole = length > 0 && wide[length - 1] == L'\n';
  while (length > 0 && (wide[length - 1] == L'\n' || wide[length - 1] == L'\r')) --length;
  if (read && !whole) RefuseFault(IDS_PASSPHRASE_TOO_LONG);
  RefuseFault(PassphraseFromWide(wide, length, passphrase));
  return true;
}

#else

struct DescriptorTraits {
  using Handle = int;
  static int Empty() { return -1; }
  static void Close(int fd) { close(fd); }
};
using Descriptor = Owned<DescriptorTraits>;

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

#endif

// The passphrase in the first line of the file at path, by the rule. Read
// straight into locked memory that is wiped, with no stream buffer in
// between.
void ReadFirstLine(const std::string& path, Passphrase& passphrase) {
  const LockedMemory bytes(kPassphraseFileBytes);
  int size = 0;
  SetErrorFile(path.c_str());
  if (!ReadFilePrefix(path.c_str(), bytes.data(), static_cast<int>(kPassphraseFileBytes), &size))
    ReportError(nullptr, true);
  RefuseFault(PassphraseFromFile(bytes.data(), static_cast<size_t>(size), passphrase));
  if (passphrase.empty()) ReportError("the first line is empty: it must hold the passphrase", true);
  SetErrorFile(nullptr);
}

// The passphrase of the protected file at path, from --passphrase-file or
// the terminal.
void ReadCurrentPassphrase(const Options& o, const std::string& path, Passphrase& passphrase) {
  if (!o.passphraseFile.empty()) return ReadFirstLine(o.passphraseFile, passphrase);
  const std::string prompt = "Passphrase for " + path + ": ";
  SetErrorFile(path.c_str());
  if (!AskTerminal(prompt.c_str(), passphrase)) {
    ReportError("the secret key file is protected by a passphrase: type it on a terminal, or give it with "
                "--passphrase-file FILE (its first line)",
                true);
  }
  if (passphrase.empty()) ReportError("no passphrase typed", true);
  SetErrorFile(nullptr);
}

// Said after the unlock, so that a system error is still the rewrite's.
void SayRewrite(const std::string& path, const KeyFileRewrite& rewrite) {
  const std::string text = KeyFileRewriteText(path.c_str(), rewrite);
  if (text.empty()) return;
  std::fprintf(stderr, "vwg: %s%s\n", rewrite.status == KeyFileStatus::kOk ? "" : "warning: ", text.c_str());
}

}  // namespace

void LoadSecretKey(const Options& o, const std::string& path, uint16_t* key, SecretKeyFileUse use) {
  KeepSecretsInProcess();
  KeyFileStatus status = LoadSecretKeyFile(path.c_str(), key);
  if (status == KeyFileStatus::kPassphraseNeeded) {
    Passphrase passphrase;
    ReadCurrentPassphrase(o, path, passphrase);
    KeyFileRewrite rewrite;
    status = use == SecretKeyFileUse::kKeep ? UnlockSecretKeyFile(path.c_str(), key, passphrase, rewrite)
                                            : LoadSecretKeyFile(path.c_str(), key, passphrase);
    if (status == KeyFileStatus::kOk) SayRewrite(path, rewrite);
  }
  ExitOnFailure(status, path);
}

void ReadNewPassphrase(const Options& o, Passphrase& passphrase) {
  KeepSecretsInProcess();
  if (!o.newPassphraseFile.empty()) return ReadFirstLine(o.newPassphraseFile, passphrase);
  if (!AskTerminal("New passphrase: ", passphrase)) {
    ReportError("no terminal to type the new passphrase on: give it with --new-passphrase-file FILE (its first "
                "line)",
                true);
  }
  if (passphrase.empty()) ReportError("an empty passphrase protects nothing", true);
  Passphrase again;
  AskTerminal("Repeat the new passphrase: ", again);
  if (!SamePassphrase(passphrase, again)) ReportError("the two passphrases differ", true);
}

#ifdef _WIN32

// Two handles name one file when the volume and the file's index agree.
bool IsStandardInput(const std::string& path) {
  const HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  const Console file(CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, 0, nullptr));
  BY_HANDLE_FILE_INFORMATION a, b;
  return in != INVALID_HANDLE_VALUE && in != nullptr && file && GetFileInformationByHandle(in, &a) &&
         GetFileInformationByHandle(file.get(), &b) && a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
         a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
}

// From <werapi.h>, whose MinGW-w64 copy does not compile on its own.
extern "C" HRESULT WINAPI WerSetFlags(DWORD flags);
constexpr DWORD kWerFaultReportingNoHeap = 1;

// Windows has no switch that keeps a process from the user's other
// processes; what it offers is to leave the heap out of the report that
// Windows Error Reporting makes of a crash.
void KeepSecretsInProcess() { WerSetFlags(kWerFaultReportingNoHeap); }

#else

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

#endif
