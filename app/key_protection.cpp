#include "app/key_protection.h"

#include <optional>
#include <string>

#include "app/key_state.h"
#include "app/passphrase_dialog.h"
#include "keys/key_files.h"
#include "resources/strings.h"
#include "win/program.h"
#include "win/report_error.h"

namespace {

// Asks for the passphrase of an existing file and tries attempt with it,
// again after a wrong one, kPassphraseTries times in all. The last
// attempt's status, or nothing when the user cancelled.
template <typename Attempt>
std::optional<KeyFileStatus> TryPassphrases(HWND owner, PassphraseRequest request, Attempt attempt) {
  Passphrase passphrase;
  KeyFileStatus status = KeyFileStatus::kWrongPassphrase;
  for (int tries = 0; tries < kPassphraseTries && status == KeyFileStatus::kWrongPassphrase; ++tries) {
    request.noticeId = tries ? IDS_PASSPHRASE_RETRY : 0;
    if (!AskPassphrase(owner, request, passphrase)) return std::nullopt;
    status = attempt(passphrase);
  }
  return status;
}

// Said once the key is open: a notice that a file with fewer rounds than
// ours has been written again with ours, or a warning that it could not be.
void SayRewrite(const char* path, const KeyFileRewrite& rewrite) {
  const std::string text = KeyFileRewriteText(path, rewrite);  // first, while the last error is the write's
  if (text.empty()) return;
  if (rewrite.status == KeyFileStatus::kOk) {
    ShowNoticeText(text.c_str());
  } else {
    ReportError(text.c_str(), false);
  }
}

}  // namespace

KeyProtection SecretKeyProtection(const char* path) {
  bool isProtected = false;
  if (InspectSecretKeyFile(path, &isProtected) != KeyFileStatus::kOk) return KeyProtection::kUnknown;
  return isProtected ? KeyProtection::kOn : KeyProtection::kOff;
}

bool LoadSecretKeyAtStart(const char* path, uint16_t* key, bool ask) {
  KeyFileRewrite rewrite;
  auto load = [&](const Passphrase& passphrase) { return UnlockSecretKeyFile(path, key, passphrase, rewrite); };
  std::optional<KeyFileStatus> status = load(Passphrase());
  if (status == KeyFileStatus::kPassphraseNeeded) {
    if (!ask) return false;
    // No window of the program exists yet: the dialog has no owner.
    status = TryPassphrases(nullptr, {PassphraseEntry::kCurrent, IDS_UNLOCK_CAPTION, IDS_UNLOCK_PROMPT, path}, load);
    if (!status) {
      ReportError(StringText(IDS_UNLOCK_CANCELLED), true);
      return false;
    }
  }
  if (!CheckKeyFile(*status, KeyFailure::kFatal)) return false;
  SayRewrite(path, rewrite);
  return true;
}

void SetKeyProtection(HWND owner, const char* path, bool on) {
  const Passphrase none;
  if (on) {
    Passphrase next;
    if (!AskPassphrase(owner, {PassphraseEntry::kNew, IDS_PROTECT_CAPTION, IDS_PROTECT_PROMPT, path}, next)) return;
    CheckKeyFile(ChangeSecretKeyPassphrase(path, none, next), KeyFailure::kWarning);
    return;
  }
  const std::optional<KeyFileStatus> status =
      TryPassphrases(owner, {PassphraseEntry::kCurrent, IDS_PROTECT_CAPTION, IDS_UNPROTECT_PROMPT, path},
                     [&](const Passphrase& current) { return ChangeSecretKeyPassphrase(path, current, none); });
  if (status) CheckKeyFile(*status, KeyFailure::kWarning);
}

bool AskNewKeyPassphrase(const char* path, Passphrase& passphrase) {
  return AskPassphrase(MainWindow, {PassphraseEntry::kNewOrNone, IDS_NEW_KEY_CAPTION, IDS_NEW_KEY_PROMPT, path},
                       passphrase);
}
