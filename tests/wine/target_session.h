// One run of driver_target.exe in a mode, with its own temporary folder for
// the result file, for the driver's tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/wine/driver.h"

class TargetRun {
 public:
  // Starts driver_target.exe MODE RESULT-FILE (or MODE EXTRA when extra is
  // given) in workDir (the test's own folder when empty) and notes the time.
  explicit TargetRun(const char* mode, const std::string& extra = "",
                     const std::string& workDir = "")
      : folder_(mode), started_(driver::NowMs()) {
    const std::string args = std::string(mode) + " " +
                             (extra.empty() ? driver::QuoteArg(ResultPath()) : extra);
    program_ = driver::StartProgram(driver::OwnFolder() + "driver_target.exe", args, workDir);
  }

  driver::Program& program() { return program_; }
  DWORD pid() const { return program_.pid(); }
  const driver::TempFolder& folder() const { return folder_; }
  std::string ResultPath() const { return folder_.File("result.txt"); }
  uint64_t ElapsedMs() const { return driver::NowMs() - started_; }

  // The lines the target wrote, without line ends.
  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    const std::string text = driver::ReadWholeFile(ResultPath()).value_or("");
    for (size_t start = 0; start < text.size();) {
      const size_t end = text.find('\n', start);
      lines.push_back(text.substr(start, end - start));
      start = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
  }

 private:
  driver::TempFolder folder_;
  uint64_t started_;
  driver::Program program_;
};
