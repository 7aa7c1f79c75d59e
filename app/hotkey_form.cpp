#include "app/hotkey_form.h"

#include <cstdio>

namespace {

constexpr uint8_t kVkShift = 0x10;
constexpr uint8_t kVkControl = 0x11;
constexpr uint8_t kVkMenu = 0x12;

std::string NameOf(uint8_t virtualKey, bool extended, KeyNamer keyName) {
  std::string name = keyName(virtualKey, extended);
  if (!name.empty()) return name;
  const bool letterOrDigit = (virtualKey >= '0' && virtualKey <= '9') || (virtualKey >= 'A' && virtualKey <= 'Z');
  if (letterOrDigit) return std::string(1, static_cast<char>(virtualKey));
  char number[8];
  std::snprintf(number, sizeof number, "#%u", virtualKey);
  return number;
}

}  // namespace

uint32_t HotkeyModifiers(uint32_t form) {
  const uint8_t flags = HotkeyFlags(form);
  uint32_t modifiers = kModNoRepeat;
  if (flags & kHotkeyAlt) modifiers |= kModAlt;
  if (flags & kHotkeyControl) modifiers |= kModControl;
  if (flags & kHotkeyShift) modifiers |= kModShift;
  return modifiers;
}

std::string HotkeyName(uint32_t form, KeyNamer keyName) {
  struct Modifier {
    uint8_t flag;
    uint8_t virtualKey;
  };
  const Modifier modifiers[] = {{kHotkeyControl, kVkControl}, {kHotkeyShift, kVkShift}, {kHotkeyAlt, kVkMenu}};
  const uint8_t flags = HotkeyFlags(form);
  std::string name;
  for (const Modifier& m : modifiers)
    if (flags & m.flag) name += NameOf(m.virtualKey, false, keyName) + "+";
  return name + NameOf(HotkeyKey(form), (flags & kHotkeyExtended) != 0, keyName);
}
