#include "cli/usage.h"

#include "cli/default_key_paths.h"
#include "resources/strings.h"

namespace {

constexpr char kOverview[] =
    "usage: vwg COMMAND [OPTIONS]\n"
    "Encrypts and decrypts messages with the key files of %s.\n"
    "\n"
    "  keygen [--id ID] [--force] [--protect] make a new key pair\n"
    "  list [--fingerprints]                  show the public key ring\n"
    "  import [--replace-changed] FILE...     add public keys to the ring\n"
    "  export [--index N] [--id ID] -o FILE   write one public key to a file\n"
    "  remove --index N                       take a public key out of the ring\n"
    "  rename --index N --id ID               list a key under another user ID\n"
    "  encrypt --to ID | --to-index N [--legacy] [FILE]\n"
    "                                         encrypt a message\n"
    "  decrypt [--from ID | --from-index N] [--accept-old] [FILE]\n"
    "                                         decrypt a message\n"
    "  passwd [--remove]                      set, change or remove the passphrase\n"
    "                                         of the secret key\n"
    "\n"
    "vwg COMMAND --help explains a command. ID is a user ID, matched exactly\n"
    "(the first in ring order); N is a ring index (0 is your own key).\n"
    "Exit status: 0 success, 1 error, 2 wrong usage.\n";

constexpr char kKeygen[] =
    "usage: vwg keygen [--id ID] [--force] [--protect | --new-passphrase-file FILE]\n"
    "Makes a new key pair: a secret key file and a public key ring that holds\n"
    "only your own public key, under the user ID given (default \"Owner\").\n"
    "Existing key files are replaced only with --force; the keys in them are\n"
    "then lost, so export the public keys you want to keep first.\n"
    "With --protect the secret key file is protected by a passphrase, typed\n"
    "twice on the terminal; --new-passphrase-file FILE protects it with the\n"
    "first line of FILE instead (UTF-8, without the line end, at most 1024\n"
    "bytes, no NUL).\n";

constexpr char kList[] =
    "usage: vwg list [--fingerprints]\n"
    "Shows the public key ring, one line per key: its index, a tab and its\n"
    "user ID. Index 0 is your own key, marked \" -- Owner\", and \" (secret key\n"
    "protected)\" while your secret key file has a passphrase. With\n"
    "--fingerprints a tab and the key's fingerprint follow: compare it with\n"
    "the one its owner reads out to you over another channel before you trust\n"
    "a key you imported. A key that has no strong key (its owner's program\n"
    "has not sent one yet) has a tab and \"no strong key\" after it: messages\n"
    "to and from it are not authenticated.\n";

constexpr char kImport[] =
    "usage: vwg import [--replace-changed] FILE...\n"
    "Adds every public key of each file to the end of the ring and prints a\n"
    "line \"ID<TAB>fingerprint\" for each: compare the fingerprint with your\n"
    "correspondent's over another channel before you trust the key. A key\n"
    "the ring holds already is skipped, and said so on standard error. A key\n"
    "the ring holds without a strong key gets the strong key the file brings,\n"
    "in its place and under its user ID, and its new fingerprint is shown on\n"
    "standard error: compare it too. A key imported without a strong key is\n"
    "named in a warning: messages to and from it are not authenticated.\n"
    "A key that claims the user ID of a key in the ring but is another key,\n"
    "or brings another strong key for a key in the ring, may be someone\n"
    "pretending to be that correspondent: the import is refused, unless\n"
    "--replace-changed is given, with which it replaces that key in its place\n"
    "and under its user ID. A key whose strong key is another key's is\n"
    "refused, and so is any change to your own key, entry 0. Every key is\n"
    "weighed before the ring is written: a refusal, or a file that is not a\n"
    "valid public key file, leaves the ring as it was. The ring holds at\n"
    "most 1000 keys.\n";

constexpr char kExport[] =
    "usage: vwg export [--index N] [--id ID] -o FILE\n"
    "Writes the public key at ring index N (default 0, your own key) to FILE,\n"
    "with its strong key, for a correspondent to import; with --id, under that\n"
    "user ID (1 to 20 characters). When the ring lacks your own strong key,\n"
    "it is taken from your secret key and added to the ring as well.\n";

constexpr char kEncrypt[] =
    "usage: vwg encrypt --to ID | --to-index N [--legacy] [FILE]\n"
    "Encrypts FILE, or standard input, byte for byte for the owner of the\n"
    "chosen public key, and writes the encrypted text and a line break to\n"
    "standard output: one line \"?VW3:...\" of ASCII, which names your key and\n"
    "the recipient's by their key IDs, carries the time of writing, proves\n"
    "that you wrote it, is new for every encryption, and is refused whole if\n"
    "any character of it is changed.\n"
    "A key without a strong key (its owner's program has not sent one yet)\n"
    "gets a \"?VW2:\" line instead, which is not authenticated, with a warning\n"
    "on standard error. --legacy writes the old block format to such a key,\n"
    "for a correspondent whose program reads nothing else. It is far weaker:\n"
    "it has no check, equal texts give equal blocks, and one guessed message\n"
    "gives away every other between the two keys. --legacy to a key with a\n"
    "strong key is wrong usage: that key reads \"?VW3:\" messages.\n";

constexpr char kDecrypt[] =
    "usage: vwg decrypt [--from ID | --from-index N] [--accept-old] [--trim] [FILE]\n"
    "Decrypts the encrypted text in FILE, or on standard input, and writes the\n"
    "message to standard output. Spaces, tabs and line breaks in the input are\n"
    "skipped. Then a line on standard error names the sender:\n"
    "  vwg: from ID (KEY ID), written YYYY-MM-DD HH:MM UTC\n"
    "for a \"?VW3:\" message, which proves its sender (the time is the one\n"
    "the sender's clock gave),\n"
    "  vwg: from ID, older format: not authenticated\n"
    "for the older formats, which do not prove who wrote them.\n"
    "A \"?VW3:\" or \"?VW2:\" message names its sender's key: it needs no key\n"
    "option, and with one the sender must be that key. It is refused, and\n"
    "nothing written, when the sender's key is not in your ring, when it was\n"
    "not encrypted for your key, or when it was changed on the way.\n"
    "A key with a strong key writes \"?VW3:\" messages to you: a \"?VW2:\" or\n"
    "old-format text from it was forged, or its owner does not have your\n"
    "strong key yet (send your key file again), and is refused.\n"
    "--accept-old reads it anyway, for archives, with that warning on\n"
    "standard error.\n"
    "A message in the old block format needs the sender's key: --from or\n"
    "--from-index. A text that holds no encrypted block is refused;\n"
    "characters after the last whole block (a text cut short) are left out\n"
    "with a warning. The spaces that fill up the message's last block are\n"
    "kept, unless --trim removes all spaces at its end. (A \"?VW3:\" or\n"
    "\"?VW2:\" message comes back exactly as it was written.)\n";

constexpr char kRemove[] =
    "usage: vwg remove --index N\n"
    "Takes the public key at ring index N out of the ring; the keys after it\n"
    "move up by one. Index 0, your own key, cannot be removed.\n";

constexpr char kRename[] =
    "usage: vwg rename --index N --id ID\n"
    "Lists the public key at ring index N under the user ID given (1 to 20\n"
    "characters); the key itself stays. Index 0 renames your own key, and\n"
    "the ID it is exported under from then on.\n";

constexpr char kCommonOptions[] =
    "\n"
    "Options of every command:\n"
    "  --public FILE   the public key ring to use instead of the default\n"
    "  --secret FILE   the secret key file to use instead of the default\n"
    "  --help          this text\n";

constexpr char kPasswd[] =
    "usage: vwg passwd [--passphrase-file FILE] [--new-passphrase-file FILE | --remove]\n"
    "Protects the secret key file with a passphrase, or gives it a new one:\n"
    "the whole file is written again, encrypted under the new passphrase.\n"
    "The new passphrase is typed twice on the terminal, or is the first line\n"
    "of the file given with --new-passphrase-file. With --remove the file is\n"
    "stored without a passphrase again. A protected file's passphrase is\n"
    "asked for first; when it is wrong, nothing is written. A secret key file\n"
    "reached through a symbolic link is written where the link leads, and\n"
    "the link stays.\n";

// For the commands that open the secret key file.
constexpr char kPassphraseOptions[] =
    "\n"
    "A protected secret key file needs its passphrase, which vwg asks for on\n"
    "the terminal without showing it, or reads from a file:\n"
    "  --passphrase-file FILE   the passphrase is the first line of FILE (UTF-8,\n"
    "                           without the line end); not standard input\n"
    "                           while the message comes there\n"
    "A passphrase is text in UTF-8 of at most 1024 bytes, without NUL, as in\n"
    "the tray program; anything else is refused before a file is written.\n"
    "A file protected with fewer than 100,000 rounds of PBKDF2 is refused as\n"
    "damaged; one with fewer than 600,000 is written again with 600,000,\n"
    "under the same passphrase, once it is open.\n";

const char* CommandText(Command c) {
  switch (c) {
    case Command::kNone: break;
    case Command::kKeygen: return kKeygen;
    case Command::kList: return kList;
    case Command::kImport: return kImport;
    case Command::kExport: return kExport;
    case Command::kEncrypt: return kEncrypt;
    case Command::kDecrypt: return kDecrypt;
    case Command::kRemove: return kRemove;
    case Command::kRename: return kRename;
    case Command::kPasswd: return kPasswd;
  }
  return kOverview;
}

}  // namespace

// The overview names the tray program through %s.
void PrintUsage(std::FILE* out, Command c) {
  if (c == Command::kNone) {
    std::fprintf(out, kOverview, StringText(IDS_APP_NAME));
  } else {
    std::fputs(CommandText(c), out);
  }
  if (c == Command::kEncrypt || c == Command::kDecrypt || c == Command::kPasswd || c == Command::kExport)
    std::fputs(kPassphraseOptions, out);
  std::fputs(kCommonOptions, out);
  PrintDefaultKeyFiles(out);
}
