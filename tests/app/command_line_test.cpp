#include "app/command_line.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Parse(const char* commandLine) {
  char path[kCommandLinePathChars];
  ParseCommandLine(commandLine, path);
  return path;
}

}  // namespace

TEST(ParseCommandLine, TakesTheKeyFilePathAsTheShellPassesIt) {
  const struct {
    const char* commandLine;
    const char* path;
  } cases[] = {
      {"", ""},
      {nullptr, ""},
      {"   \"  \" ", ""},  // only blanks and quotes: no file
      {"\"C:\\My Keys\\friend.vwg\"", "C:\\My Keys\\friend.vwg"},
      {"C:\\My Keys\\friend.vwg", "C:\\My Keys\\friend.vwg"},  // unquoted: inner blanks stay
      {"  key.vwg  ", "key.vwg  "},                            // trailing blanks stay too
      {"\"a.vwg\" \"b.vwg\"", "a.vwg"},                        // cut at the first quote
  };
  for (const auto& c : cases) EXPECT_EQ(Parse(c.commandLine), c.path) << (c.commandLine ? c.commandLine : "(null)");
}

TEST(ParseCommandLine, LongPathIsCutToTheBuffer) {
  const std::string longPath(400, 'x');
  EXPECT_EQ(Parse(longPath.c_str()), std::string(kCommandLinePathChars - 1, 'x'));
}
