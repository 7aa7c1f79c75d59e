// vwg's passphrase input on Windows (cli/passphrase_input_system.h): the
// console, and what Windows offers to keep secrets in the process.
#include <windows.h>

#include <cstring>

#include "base/owned.h"
#include "cli/passphrase_input.h"
#include "cli/passphrase_input_system.h"
#include "keys/locked_memory.h"
#include "keys/passphrase_from_wide.h"
#include "resources/strings.h"

namespace {

HANDLE NoConsole() { return INVALID_HANDLE_VALUE; }
using Console = Owned<EmptyIs<HANDLE, NoConsole, CloseHandle>>;

Console OpenConsole(const char* name) {
  return Console(CreateFileA(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr));
}

void Write(const Console& out, const char* text) {
  DWORD written = 0;
  WriteConsoleA(out.get(), text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
}

}  // namespace

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
