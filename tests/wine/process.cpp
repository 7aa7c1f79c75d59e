#include "tests/wine/process.h"

#include <psapi.h>
#include <winternl.h>

#include <utility>
#include <vector>

namespace driver {

Program::Program(Program&& other) noexcept
    : process_(std::exchange(other.process_, nullptr)),
      pid_(std::exchange(other.pid_, 0)) {}

Program& Program::operator=(Program&& other) noexcept {
  if (this != &other) {
    Close();
    process_ = std::exchange(other.process_, nullptr);
    pid_ = std::exchange(other.pid_, 0);
  }
  return *this;
}

Program::~Program() { Close(); }

void Program::Close() {
  if (process_ == nullptr) return;
  Kill();
  CloseHandle(process_);
  process_ = nullptr;
  pid_ = 0;
}

bool Program::Running() const {
  return process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

std::optional<uint32_t> Program::WaitExit(uint32_t timeoutMs) const {
  if (process_ == nullptr) return std::nullopt;
  if (WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
  DWORD code = 0;
  if (!GetExitCodeProcess(process_, &code)) return std::nullopt;
  return code;
}

bool Program::Kill() {
  if (process_ == nullptr) return false;
  if (!Running()) return true;
  TerminateProcess(process_, kKilledExitCode);
  return WaitForSingleObject(process_, kDefaultTimeoutMs) == WAIT_OBJECT_0;
}

namespace {

// The system handle table, as NtQuerySystemInformation gives it.
constexpr auto kSystemHandleInformation = static_cast<SYSTEM_INFORMATION_CLASS>(16);
struct HandleEntry {
  ULONG pid;
  BYTE objectType, flags;
  USHORT handle;
  PVOID object;
  ACCESS_MASK access;
};
struct HandleTable {
  ULONG count;
  HandleEntry entries[1];
};

uint32_t CountHandles(DWORD pid) {
  std::vector<char> buffer(1 << 16);
  ULONG needed = 0;
  NTSTATUS status;
  while ((status = NtQuerySystemInformation(kSystemHandleInformation, buffer.data(),
                                            static_cast<ULONG>(buffer.size()), &needed)) ==
         static_cast<NTSTATUS>(0xC0000004L))  // STATUS_INFO_LENGTH_MISMATCH
    buffer.resize(buffer.size() * 2);
  if (status != 0) return 0;
  const auto* table = reinterpret_cast<const HandleTable*>(buffer.data());
  uint32_t count = 0;
  for (ULONG i = 0; i < table->count; ++i) count += table->entries[i].pid == pid;
  return count;
}

struct WindowCount {
  DWORD pid;
  uint32_t count;
};

BOOL CALLBACK CountWindow(HWND window, LPARAM data) {
  auto* c = reinterpret_cast<WindowCount*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == c->pid) ++c->count;
  EnumChildWindows(window, CountWindow, data);
  return TRUE;
}

// Every window of process pid, at any depth under any top-level window.
uint32_t CountWindows(DWORD pid) {
  WindowCount c{pid, 0};
  EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&c));
  return c.count;
}

}  // namespace

Program::ResourceUse Program::Resources() const {
  ResourceUse use;
  if (process_ == nullptr) return use;
  use.handles = CountHandles(pid_);
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (GetProcessMemoryInfo(process_, &counters, sizeof counters)) {
    use.residentBytes = counters.WorkingSetSize;
    use.privateBytes = counters.PagefileUsage;
  }
  use.windows = CountWindows(pid_);
  use.gdiObjects = GetGuiResources(process_, GR_GDIOBJECTS);
  use.userObjects = GetGuiResources(process_, GR_USEROBJECTS);
  return use;
}

std::string Describe(const Program& program) {
  if (!program) return "it was never started";
  if (!program.Running()) return "it ended with code " + std::to_string(program.WaitExit(0).value_or(0));
  return "it runs, with " + std::to_string(program.Resources().windows) + " windows";
}

std::string QuoteArg(const std::string& arg) {
  if (!arg.empty() && arg.find(' ') == std::string::npos) return arg;
  return "\"" + arg + "\"";
}

namespace {

// exe null: the system takes the program from the line.
Program Create(const char* exe, const std::string& line, const std::string& workDir) {
  // CreateProcessA may write into the command line, so it gets its own copy.
  std::vector<char> buf(line.begin(), line.end());
  buf.push_back('\0');
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(exe, buf.data(), nullptr, nullptr, FALSE, 0,
                      nullptr, workDir.empty() ? nullptr : workDir.c_str(), &si, &pi)) {
    return {};
  }
  CloseHandle(pi.hThread);
  return Program(pi.hProcess, pi.dwProcessId);
}

}  // namespace

Program StartProgram(const std::string& exe, const std::string& args,
                     const std::string& workDir) {
  std::string line = QuoteArg(exe);
  if (!args.empty()) line += " " + args;
  return Create(exe.c_str(), line, workDir);
}

Program StartCommand(const std::string& commandLine, const std::string& workDir) {
  return Create(nullptr, commandLine, workDir);
}

std::string OwnFolder() {
  char path[MAX_PATH];
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, n);
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

}  // namespace driver
