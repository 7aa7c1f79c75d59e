// Starting and ending the programs under test. Process ids here are the ids
// Wine gives its processes (the same ids that GetWindowThreadProcessId
// reports), not Linux process ids.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "tests/wine/wait.h"

namespace driver {

// A started program. Ending the holder kills the program if it still runs, so
// a failed assertion never leaves a stray window behind for the next test.
class Program {
 public:
  Program() = default;
  Program(HANDLE process, DWORD pid) : process_(process), pid_(pid) {}
  Program(Program&& other) noexcept;
  Program& operator=(Program&& other) noexcept;
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;
  ~Program();

  explicit operator bool() const { return process_ != nullptr; }
  DWORD pid() const { return pid_; }
  bool Running() const;

  // The exit code once the program has ended, or nothing when it still runs
  // after timeoutMs. The program is left running on a timeout.
  std::optional<uint32_t> WaitExit(uint32_t timeoutMs = kDefaultTimeoutMs) const;

  // Terminates the program with exit code kKilledExitCode and waits for the
  // end. True when the program has ended (also when it had ended before).
  bool Kill();

  // What the program holds now, as far as Wine reports it for another
  // process: its kernel handles, counted in the system's handle table
  // (GetProcessHandleCount answers 0 under Wine); its working set, which
  // Wine reads from the resident size of the program's Unix process, and
  // private bytes; its windows at any depth, its buttons in other
  // processes' dialogs included; its GDI and USER objects (GetGuiResources,
  // which Wine 8 answers with 0). Zeroes where they cannot be read.
  struct ResourceUse {
    uint32_t handles = 0;
    uint64_t residentBytes = 0, privateBytes = 0;
    uint32_t windows = 0, gdiObjects = 0, userObjects = 0;
  };
  ResourceUse Resources() const;

 private:
  void Close();
  HANDLE process_ = nullptr;
  DWORD pid_ = 0;
};

// For a failure message when a program did not show what was awaited:
// whether it ended, with its exit code, or runs, with how many windows.
std::string Describe(const Program& program);

// Exit code of a program that Kill ended; no program under test uses it.
constexpr uint32_t kKilledExitCode = 0xDEAD;

// Starts exe with the command line "exe" args in the folder workDir (the
// driver's own current folder when empty). exe is a full path; it is quoted
// on the command line, args are passed as they stand. The program inherits no
// handles: Wine's helper processes would keep an inherited pipe open forever.
// Failure gives an empty Program and leaves GetLastError set.
Program StartProgram(const std::string& exe, const std::string& args = "",
                     const std::string& workDir = "");

// Starts a whole command line as the shell starts a registered command: the
// system finds the program's name in the line itself.
Program StartCommand(const std::string& commandLine, const std::string& workDir = "");

// Puts arg in double quotes when it holds a space or is empty.
std::string QuoteArg(const std::string& arg);

// The folder of the running executable, ending in a backslash: helper
// programs are built next to the tests that start them.
std::string OwnFolder();

}  // namespace driver
