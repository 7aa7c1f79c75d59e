#include "tests/wine/process.h"

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

std::optional<uint32_t> Program::WaitExit(uint32_t timeoutMs) {
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

std::string QuoteArg(const std::string& arg) {
  if (!arg.empty() && arg.find(' ') == std::string::npos) return arg;
  return "\"" + arg + "\"";
}

Program StartProgram(const std::string& exe, const std::string& args,
                     const std::string& workDir) {
  std::string line = QuoteArg(exe);
  if (!args.empty()) line += " " + args;
  // CreateProcessA may write into the command line, so it gets its own copy.
  std::vector<char> buf(line.begin(), line.end());
  buf.push_back('\0');
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(exe.c_str(), buf.data(), nullptr, nullptr, FALSE, 0,
                      nullptr, workDir.empty() ? nullptr : workDir.c_str(), &si, &pi)) {
    return {};
  }
  CloseHandle(pi.hThread);
  return Program(pi.hProcess, pi.dwProcessId);
}

std::string OwnFolder() {
  char path[MAX_PATH];
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, n);
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

}  // namespace driver
