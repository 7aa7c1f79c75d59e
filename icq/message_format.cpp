#include "icq/message_format.h"

#include "keys/fingerprint.h"
#include "keys/registry_names.h"
#include "win/registry.h"

namespace {

// The value name of key's mark; false when the system's SHA-256 fails.
bool MarkName(const PublicKeyRecord& key, char name[kKeyIdChars + 1]) {
  uint8_t id[kKeyIdBytes];
  if (!KeyId(key, id)) return false;
  KeyIdText(id, name);
  return true;
}

}  // namespace

bool UsesOldFormat(const PublicKeyRecord& key) {
  char name[kKeyIdChars + 1];
  DWORD mark = 0;
  // Read without creating the settings key: most keys have no mark.
  return MarkName(key, name) && RegReadDword(HKEY_CURRENT_USER, kSettingsKey, name, &mark, false) && mark != 0;
}

bool MarkOldFormat(const PublicKeyRecord& key, bool old) {
  char name[kKeyIdChars + 1];
  if (!MarkName(key, name)) return false;
  return old ? RegWriteDword(HKEY_CURRENT_USER, kSettingsKey, name, 1, true)
             : RegDeleteValueAt(HKEY_CURRENT_USER, kSettingsKey, name);
}
