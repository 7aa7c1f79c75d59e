// The hotkeys' stored form as RegisterHotKey takes it and as the user reads
// it: every combination of the control's flags against a plain reference.
#include "app/hotkey_form.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Names as an English layout gives them; none for the key 0x97, which no
// layout names.
std::string EnglishName(uint8_t virtualKey, bool extended) {
  switch (virtualKey) {
    case 0x10: return "Shift";
    case 0x11: return "Ctrl";
    case 0x12: return "Alt";
    case 0x24: return extended ? "Home" : "Num 7";
    case 0x70: return "F1";
    case 0x97: return "";
  }
  return std::string(1, static_cast<char>(virtualKey));
}

// No layout at all: every key without a name.
std::string NoNames(uint8_t, bool) { return ""; }

}  // namespace

TEST(HotkeyForm, ModifiersFollowTheFlagsAndNeverRepeat) {
  for (unsigned flags = 0; flags < 16; ++flags) {
    const uint32_t modifiers = HotkeyModifiers(HotkeyForm('Q', static_cast<uint8_t>(flags)));
    uint32_t expected = kModNoRepeat;
    if (flags & 1) expected |= kModShift;  // HOTKEYF_SHIFT is 1, MOD_SHIFT 4
    if (flags & 2) expected |= kModControl;
    if (flags & 4) expected |= kModAlt;  // HOTKEYF_ALT is 4, MOD_ALT 1
    EXPECT_EQ(modifiers, expected) << "flags " << flags << ": the extended flag is no modifier";
  }
  EXPECT_EQ(HotkeyKey(kDefaultEncryptHotkey), 'E');
  EXPECT_EQ(HotkeyKey(kDefaultDecryptHotkey), 'D');
  EXPECT_EQ(kDefaultEncryptHotkey, 0x0345) << "what HKM_GETHOTKEY gives for Ctrl+Shift+E";
  EXPECT_EQ(HotkeyKey(0x12345), 0x45) << "a stored DWORD's high word is no part of the hotkey";
  EXPECT_EQ(HotkeyFlags(0x12345), 0x23);
}

TEST(HotkeyForm, NamesModifiersInTheirUsualOrderThenTheKey) {
  EXPECT_EQ(HotkeyName(kDefaultEncryptHotkey, EnglishName), "Ctrl+Shift+E");
  EXPECT_EQ(HotkeyName(kDefaultDecryptHotkey, EnglishName), "Ctrl+Shift+D");
  EXPECT_EQ(HotkeyName(HotkeyForm('E', kHotkeyAlt | kHotkeyShift | kHotkeyControl), EnglishName), "Ctrl+Shift+Alt+E");
  EXPECT_EQ(HotkeyName(HotkeyForm(0x70, kHotkeyAlt), EnglishName), "Alt+F1");
  EXPECT_EQ(HotkeyName(HotkeyForm(0x24, kHotkeyControl | kHotkeyExtended), EnglishName), "Ctrl+Home")
      << "the extended flag reaches the key's name";
  EXPECT_EQ(HotkeyName(HotkeyForm(0x24, kHotkeyControl), EnglishName), "Ctrl+Num 7");
  EXPECT_EQ(HotkeyName(HotkeyForm(0x97, kHotkeyControl), EnglishName), "Ctrl+#151");
  EXPECT_EQ(HotkeyName(HotkeyForm('7', kHotkeyControl | kHotkeyShift), NoNames), "#17+#16+7")
      << "without names, letters and digits still read as themselves";
}
