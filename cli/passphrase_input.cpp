#include "cli/passphrase_input.h"

#include <cstring>
#include <iterator>

#include "cli/command_support.h"
#include "cli/report_error.h"
#include "crypto/wipe.h"
#include "keys/file_io.h"
#include "keys/key_files.h"
#include "keys/owned.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace {

void ReportTooLong() { ReportError("a passphrase has at most 1024 bytes", true); }

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
// arrives, and handed over as UTF-8.
bool AskTerminal(const char* prompt, Passphrase& passphrase) {
  const Console in = OpenConsole("CONIN$"), out = OpenConsole("CONOUT$");
  DWORD mode = 0;
  if (!in || !out || !GetConsoleMode(in.get(), &mode)) return false;
  Write(out, prompt);
  SetConsoleMode(in.get(), (mode | ENABLE_LINE_INPUT | ENABLE_PROCESSED_INPUT) & ~ENABLE_ECHO_INPUT);
  wchar_t wide[kMaxPassphraseBytes + 2];
  DWORD got = 0;
  const bool read = ReadConsoleW(in.get(), wide, kMaxPassphraseBytes + 2, &got, nullptr) != 0;
  SetConsoleMode(in.get(), mode);
  Write(out, "\r\n");
  DWORD length = read ? got : 0;
  const bool whole = length > 0 && wide[length - 1] == L'\n';
  while (length > 0 && (wide[length - 1] == L'\n' || wide[length - 1] == L'\r')) --length;
  const int bytes = length ? WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(length),
                                                 reinterpret_cast<char*>(passphrase.buffer()),
                                                 static_cast<int>(kMaxPassphraseBytes), nullptr, nullptr)
                           : 0;
  SecureWipe(wide, sizeof wide);
  if (read && (!whole || (length && !bytes))) ReportTooLong();
  passphrase.SetSize(static_cast<size_t>(bytes));
  return true;
}

#else

struct DescriptorTraits {
  using Handle = int;
  static int Empty() { return -1; }
  static void Close(int fd) { close(fd); }
};
using Descriptor = Owned<DescriptorTraits>;

// The terminal's settings while echo is off, for a signal to put back.
int QuietTerminal = -1;
termios Saved;
constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// A signal while echo is off gives the terminal its echo back before its
// default action ends vwg.
void RestoreAndRaise(int signal) {
  tcsetattr(QuietTerminal, TCSAFLUSH, &Saved);
  std::signal(signal, SIG_DFL);
  std::raise(signal);
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
// and a passphrase must be typed by a person.
bool AskTerminal(const char* prompt, Passphrase& passphrase) {
  const Descriptor tty(open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC));
  if (!tty || tcgetattr(tty.get(), &Saved) != 0) return false;
  termios quiet = Saved;
  quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
  quiet.c_lflag |= ECHONL;  // the line end still shows, so the next output starts on a line of its own
  QuietTerminal = tty.get();
  void (*before[std::size(kEndingSignals)])(int);
  for (size_t i = 0; i < std::size(kEndingSignals); ++i) before[i] = std::signal(kEndingSignals[i], RestoreAndRaise);
  // Echo goes off before the prompt shows: whatever is typed after it stays
  // unseen. What was typed before it is dropped.
  tcsetattr(tty.get(), TCSAFLUSH, &quiet);
  const bool shown = write(tty.get(), prompt, std::strlen(prompt)) >= 0;
  const bool fits = shown && ReadLine(tty.get(), passphrase);
  tcsetattr(tty.get(), TCSAFLUSH, &Saved);
  for (size_t i = 0; i < std::size(kEndingSignals); ++i) std::signal(kEndingSignals[i], before[i]);
  if (!shown) return false;
  if (!fits) ReportTooLong();
  return true;
}

#endif

// The first line of the file at path, without its line end (LF or CR LF)
// and without a UTF-8 byte order mark, which some editors put first. Read
// straight into a buffer that is wiped, with no stream buffer in between.
void ReadFirstLine(const std::string& path, Passphrase& passphrase) {
  constexpr int kMark = 3, kCapacity = kMark + static_cast<int>(kMaxPassphraseBytes) + 3;
  uint8_t bytes[kCapacity];
  int size = 0;
  SetErrorFile(path.c_str());
  if (!ReadFilePrefix(path.c_str(), bytes, kCapacity, &size)) ReportError(nullptr, true);
  const int start = size >= kMark && std::memcmp(bytes, "\xEF\xBB\xBF", kMark) == 0 ? kMark : 0;
  int end = start;
  while (end < size && bytes[end] != '\n') ++end;
  const bool ended = end < size || size < kCapacity;
  const int length = end > start && bytes[end - 1] == '\r' ? end - start - 1 : end - start;
  const bool fits = ended && passphrase.SetSize(static_cast<size_t>(length));
  if (fits) std::memcpy(passphrase.buffer(), bytes + start, static_cast<size_t>(length));
  SecureWipe(bytes, sizeof bytes);
  if (!fits) ReportTooLong();
  if (passphrase.empty()) ReportError("the first line is empty: it must hold the passphrase", true);
  SetErrorFile(nullptr);
}

}  // namespace

void LoadSecretKey(const Options& o, const std::string& path, uint16_t* key) {
  KeyFileStatus status = LoadSecretKeyFile(path.c_str(), key);
  if (status == KeyFileStatus::kPassphraseNeeded) {
    Passphrase passphrase;
    ReadCurrentPassphrase(o, path, passphrase);
    status = LoadSecretKeyFile(path.c_str(), key, passphrase);
  }
  ExitOnFailure(status, path);
}

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

void ReadNewPassphrase(const Options& o, Passphrase& passphrase) {
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
