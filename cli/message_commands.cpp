// encrypt and decrypt: the commands on messages.
#include <string>
#include <vector>

#include "cli/command_support.h"
#include "cli/commands.h"
#include "cli/key_paths.h"
#include "cli/report_error.h"
#include "keys/cipher.h"
#include "keys/key_files.h"
#include "keys/report_error.h"
#include "resources/strings.h"

namespace {

// The secret key and the chosen correspondent's public point.
void LoadKeys(const Options& o, CurvePoint& q) {
  ChooseKeyPaths(o, false);
  SetErrorFile(SecretKeyPath);
  LoadSecretKeyFile(SecretKeyPath, SecretKey);
  std::vector<PublicKeyRecord> ring;
  const int count = LoadRing(ring);
  RecordPoint(ring[ChooseKey(ring, count, o, -1)], q);
}

// The armour never uses these characters, and messengers add line breaks to
// long lines.
std::string WithoutBlanks(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n') out += c;
  }
  return out;
}

}  // namespace

int RunEncrypt(const Options& o) {
  CurvePoint q;
  LoadKeys(o, q);
  const std::string plain = ReadInput(o.files.empty() ? "" : o.files[0]);
  std::string encrypted;
  if (!EncryptText(plain, SecretKey, q, encrypted)) ReportError(StringText(IDS_BAD_KEY), true);
  WriteOutput(encrypted + "\n");
  return 0;
}

int RunDecrypt(const Options& o) {
  CurvePoint q;
  LoadKeys(o, q);
  const std::string encrypted = WithoutBlanks(ReadInput(o.files.empty() ? "" : o.files[0]));
  std::string plain;
  if (!DecryptText(encrypted, SecretKey, q, plain)) ReportError(StringText(IDS_BAD_KEY), true);
  if (o.trim) plain.erase(plain.find_last_not_of(' ') + 1);
  WriteOutput(plain);
  return 0;
}
