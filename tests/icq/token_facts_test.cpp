// Reading a process's token for the rule on writing unasked, in-process.
// Under Wine every process has the same token, high integrity outside an
// AppContainer, so the refusals are seen through the test seam.
#include "icq/token_facts.h"

#include <gtest/gtest.h>

#include <string>

namespace {

HWND OwnWindow() { return CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr); }

TEST(TokenFacts, OurOwnProcessIsReadAndMayBeWrittenInto) {
  const TokenFacts own = ProcessTokenFacts(GetCurrentProcessId());
  EXPECT_TRUE(own.known);
  EXPECT_GE(own.integrity, kLowIntegrity);
  EXPECT_FALSE(own.appContainer);
  HWND window = OwnWindow();
  EXPECT_TRUE(MayWriteUnaskedInto(window));
  DestroyWindow(window);
}

TEST(TokenFacts, AProcessThatCannotBeOpenedIsNotKnownNorWrittenInto) {
  EXPECT_FALSE(ProcessTokenFacts(0xFFFFFFF0u).known);
  EXPECT_FALSE(MayWriteUnaskedInto(nullptr));
}

// The seam names a process to be taken as sandboxed: that one only, and
// nothing for a value that names none.
TEST(TokenFacts, TheSeamOnlyEverMakesTheNamedProcessLessTrusted) {
  HWND window = OwnWindow();
  for (const std::string& value : {std::string("not a number"), std::to_string(GetCurrentProcessId() + 4)}) {
    SetEnvironmentVariableA(kSandboxedProcessVariable, value.c_str());
    EXPECT_TRUE(MayWriteUnaskedInto(window)) << value;
  }
  SetEnvironmentVariableA(kSandboxedProcessVariable, std::to_string(GetCurrentProcessId()).c_str());
  const TokenFacts named = ProcessTokenFacts(GetCurrentProcessId());
  SetEnvironmentVariableA(kSandboxedProcessVariable, nullptr);
  EXPECT_TRUE(named.known);
  EXPECT_EQ(named.integrity, kLowIntegrity);
  EXPECT_TRUE(named.appContainer);
  DestroyWindow(window);
}

}  // namespace
