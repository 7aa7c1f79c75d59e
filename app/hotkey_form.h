// A hotkey in the form a hotkey control gives and the settings store
// (HKM_GETHOTKEY: the virtual key in the low byte, HOTKEYF_* in the next; 0
// for none), what RegisterHotKey takes for it, and its name as the user
// reads it ("Ctrl+Shift+E"). Plain numbers, no Win32 calls, so that the
// rules are tested natively too; the values are the system's.
#pragma once

#include <cstdint>
#include <string>

constexpr uint8_t kHotkeyShift = 0x01;     // HOTKEYF_SHIFT
constexpr uint8_t kHotkeyControl = 0x02;   // HOTKEYF_CONTROL
constexpr uint8_t kHotkeyAlt = 0x04;       // HOTKEYF_ALT
constexpr uint8_t kHotkeyExtended = 0x08;  // HOTKEYF_EXT: an extended key (Home, not Num 7)

constexpr uint32_t kModAlt = 0x0001;       // MOD_ALT
constexpr uint32_t kModControl = 0x0002;   // MOD_CONTROL
constexpr uint32_t kModShift = 0x0004;     // MOD_SHIFT
constexpr uint32_t kModNoRepeat = 0x4000;  // MOD_NOREPEAT

constexpr uint16_t HotkeyForm(uint8_t virtualKey, uint8_t flags) {
  return static_cast<uint16_t>(virtualKey | flags << 8);
}
constexpr uint8_t HotkeyKey(uint32_t form) { return static_cast<uint8_t>(form & 0xFF); }
constexpr uint8_t HotkeyFlags(uint32_t form) { return static_cast<uint8_t>(form >> 8 & 0xFF); }

constexpr uint16_t kDefaultEncryptHotkey = HotkeyForm('E', kHotkeyControl | kHotkeyShift);
constexpr uint16_t kDefaultDecryptHotkey = HotkeyForm('D', kHotkeyControl | kHotkeyShift);

// RegisterHotKey's modifiers: those of the form, and MOD_NOREPEAT, so that a
// key held down is one press, not a stream of them.
uint32_t HotkeyModifiers(uint32_t form);

// The name of a key, as the keyboard layout gives it ("" when it has none):
// called with the virtual key and whether it is an extended one.
using KeyNamer = std::string (*)(uint8_t virtualKey, bool extended);

// "Ctrl+Shift+E": the names of the modifiers that the form holds (those of
// VK_CONTROL, VK_SHIFT and VK_MENU), in that order, then the key's. A key
// without a name shows as its letter or digit, or else as its number.
std::string HotkeyName(uint32_t form, KeyNamer keyName);
