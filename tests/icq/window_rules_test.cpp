// Which controls the Encrypt hotkey reads in place, which windows it leaves
// out of the keyboard route, and which key a window's caption names for
// Auto-Encrypt.
#include "icq/window_rules.h"

#include <gtest/gtest.h>

namespace {

// Entry 0, the user's own key, then the given user IDs.
PublicKeyRing Ring(std::initializer_list<const char*> ids) {
  PublicKeyRing ring;
  for (const char* id : ids) {
    PublicKeyRecord key{};
    SetUserId(key, id);
    AddRingEntry(ring, key, kNoStrongKey);
  }
  return ring;
}

}  // namespace

TEST(StandardEditClass, IsTheSystemsEditAndRichEditControlsInAnyLetterCase) {
  for (const char* name : {"Edit", "EDIT", "edit", "RichEdit", "RICHEDIT", "RichEdit20A", "RichEdit20W",
                           "RICHEDIT50W", "RichEdit50W", "richedit50w"})
    EXPECT_TRUE(IsStandardEditClass(name)) << name;
  // Controls that draw their own text, and names that only begin or end
  // like an edit control's.
  for (const char* name : {"", "Static", "ListBox", "Chrome_RenderWidgetHostHWND", "ConsoleWindowClass", "Edit2",
                           "TEdit", "RichEdit20", "RICHEDIT60W", "Edi"})
    EXPECT_FALSE(IsStandardEditClass(name)) << name;
}

TEST(ConsoleWindow, IsTheConsolesAndTerminalsClassesOrAConsoleHostInAnyLetterCase) {
  EXPECT_TRUE(IsConsoleWindow("ConsoleWindowClass", "ConsoleWindowClass", "cmd.exe"));
  EXPECT_TRUE(IsConsoleWindow("CASCADIA_HOSTING_WINDOW_CLASS", "Windows.UI.Input.InputSite.WindowClass",
                              "WindowsTerminal.exe"));
  EXPECT_TRUE(IsConsoleWindow("PseudoConsoleWindow", "consolewindowclass", ""));
  EXPECT_TRUE(IsConsoleWindow("SomeHost", "SomeControl", "CONHOST.EXE"));
  EXPECT_TRUE(IsConsoleWindow("", "", "OpenConsole.exe"));
  for (const char* program : {"", "chat.exe", "conhost.exe.bak", "myconhost.exe"})
    EXPECT_FALSE(IsConsoleWindow("Chrome_WidgetWin_1", "Chrome_RenderWidgetHostHWND", program)) << program;
  EXPECT_FALSE(IsConsoleWindow("ConsoleWindowClass2", "Edit", "chat.exe"));
}

TEST(CaptionCorrespondent, IsTheOneEntryWhoseUserIdIsAWholeWordOfTheCaption) {
  const PublicKeyRing ring = Ring({"Me", "Alice", "Bob", "Bob Stone", "x@y.org"});
  EXPECT_EQ(CaptionCorrespondent("Chat with alice - Writer", ring), 1);
  EXPECT_EQ(CaptionCorrespondent("ALICE", ring), 1);
  EXPECT_EQ(CaptionCorrespondent("Alice's notes", ring), 1) << "an apostrophe ends a word";
  EXPECT_EQ(CaptionCorrespondent("Mail to x@y.org", ring), 4);
  // Inside a longer word, or in another script's letters, no ID is found.
  EXPECT_EQ(CaptionCorrespondent("Chat with Alicea", ring), -1);
  EXPECT_EQ(CaptionCorrespondent("Chat with Malice", ring), -1);
  EXPECT_EQ(CaptionCorrespondent("Chat with Alice\xE9", ring), -1);
  EXPECT_EQ(CaptionCorrespondent("Alice_2", ring), -1);
  // "Bob Stone" holds "Bob" too: two entries named, no guess.
  EXPECT_EQ(CaptionCorrespondent("Bob Stone", ring), -1);
  EXPECT_EQ(CaptionCorrespondent("Alice and Bob", ring), -1);
  // The user's own key is never the recipient the caption names.
  EXPECT_EQ(CaptionCorrespondent("Me", ring), -1);
  EXPECT_EQ(CaptionCorrespondent("", ring), -1);
}

TEST(CaptionCorrespondent, TakesTheUinOfOneEntryAsTheDialogsDo) {
  const PublicKeyRing ring = Ring({"Me 1111111", "Alice 7654321", "Bob 1234567", "Carol 1234567"});
  EXPECT_EQ(CaptionCorrespondent("Chat - 7654321", ring), 1);
  EXPECT_EQ(CaptionCorrespondent("UIN7654321", ring), 1) << "letters may touch a UIN";
  EXPECT_EQ(CaptionCorrespondent("Chat - 17654321", ring), -1);
  EXPECT_EQ(CaptionCorrespondent("Chat - 1234567", ring), -1) << "two entries hold that UIN";
  EXPECT_EQ(CaptionCorrespondent("Chat - 1111111", ring), -1);
  // Named twice, by ID and UIN, is still one entry; by one and another,
  // two.
  EXPECT_EQ(CaptionCorrespondent("Alice 7654321 - Chat", ring), 1);
  EXPECT_EQ(CaptionCorrespondent("alice 7654321 and Bob 1234567", ring), -1);
}
