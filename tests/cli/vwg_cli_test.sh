#!/usr/bin/env bash
# vwg_cli_test.sh VWG [RUNNER...]: two users, alice and bob, each with key
# files of their own, exchange public keys and messages through the real
# program, which is then given wrong input. RUNNER (for instance
# scripts/wine-run.sh DIR) runs a Windows build; its paths get a drive letter.
# Output goes to files only: under Wine a pipe can stay open after the
# program has ended.
set -euo pipefail
vwg=$1
shift
runner=("$@")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

if [ ${#runner[@]} -gt 0 ]; then drive=Z:; else drive=; fi
# Natively vwg runs in a session of its own, without a terminal to ask for a
# passphrase on. Under Wine a program whose standard handles are files has
# no console; there a new session only made Wine's connection to its server
# fail now and then.
if [ -n "$drive" ]; then detach=(); else detach=(setsid -w); fi

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# run USER ARGS...: vwg with USER's key files; stdout, stderr and the exit
# status in $work/out, $work/err and $status.
run() {
  local user=$1
  shift
  set +e
  if [ "$user" = alice ] && [ -z "$drive" ]; then
    # alice uses the default key files
    XDG_CONFIG_HOME="$work/alice-config" "${detach[@]}" "$vwg" "$@" >"$work/out" 2>"$work/err" <"$work/in"
  else
    "${detach[@]}" "${runner[@]}" "$vwg" --public "$drive$work/$user-public.vwg" \
      --secret "$drive$work/$user-secret.vwg" "$@" >"$work/out" 2>"$work/err" <"$work/in"
  fi
  status=$?
  set -e
}

# expect STATUS WHAT: checks the last run's exit status; an error says what
# is wrong on stderr and writes nothing to stdout.
expect() {
  if [ "$status" != "$1" ]; then
    fail "$2: exit status $status, expected $1 ($(head -c 300 "$work/err"))"
  elif [ "$1" != 0 ] && [ -s "$work/out" ]; then
    fail "$2: wrote to standard output on failure"
  elif [ "$1" = 1 ] && ! grep -q '^vwg: ' "$work/err"; then
    fail "$2: no 'vwg: ' message on stderr"
  fi
}

same() {  # same FILE1 FILE2 WHAT
  cmp -s "$1" "$2" || fail "$3: $(od -c "$1" | head -3) differs from $(od -c "$2" | head -3)"
}

: >"$work/in"
bob_secret=$work/bob-secret.vwg
if [ -n "$drive" ]; then
  alice_public=$work/alice-public.vwg
  alice_secret=$work/alice-secret.vwg
else
  alice_public=$work/alice-config/vaultwing/public.vwg
  alice_secret=$work/alice-config/vaultwing/secret.vwg
fi

# Key generation.
run alice keygen --id alice
expect 0 "keygen alice"
[ "$(wc -c <"$alice_public")" = 152 ] || fail "alice's ring is not 152 bytes"
[ "$(wc -c <"$alice_secret")" = 938 ] || fail "alice's secret key file is not 938 bytes"
cp "$alice_secret" "$work/alice-secret.before"
run alice keygen
expect 1 "keygen over existing files"
same "$alice_secret" "$work/alice-secret.before" "keygen without --force"
run bob keygen --id bob
expect 0 "keygen bob"
run bob keygen --force --id bob
expect 0 "keygen --force"

# Key exchange.
run alice export -o "$drive$work/alice.vwg"
expect 0 "export alice"
run bob export --index 0 --id bob-at-work -o "$drive$work/bob.vwg"
expect 0 "export bob under a new ID"
[ "$(wc -c <"$work/bob.vwg")" = 152 ] || fail "an exported key is not 152 bytes"
run alice import "$drive$work/bob.vwg"
expect 0 "alice imports bob"
cp "$work/out" "$work/imported-bob"
run bob import "$drive$work/alice.vwg" "$drive$work/alice.vwg"
expect 0 "bob imports alice twice"
[ "$(cut -f1 "$work/out")" = alice ] || fail "a key imported twice is listed once: $(cat "$work/out")"
grep -q '^vwg: alice: already in the ring, not imported again' "$work/err" ||
  fail "the second copy is not said to be skipped: $(cat "$work/err")"
# A ring from before may hold one key twice; the checks below use such a ring.
python3 -c '
import sys
path = sys.argv[1]
data = bytearray(open(path, "rb").read())
data += data[10 + 142:10 + 2 * 142]
data[8:10] = (int.from_bytes(data[8:10], "little") + 1).to_bytes(2, "little")
open(path, "wb").write(data)' "$work/bob-public.vwg"
run alice list
expect 0 "list"
printf '0\talice -- Owner\n1\tbob-at-work\n' >"$work/expected"
same "$work/out" "$work/expected" "alice's ring"
run bob list
printf '0\tbob -- Owner\n1\talice\n2\talice\n' >"$work/expected"
same "$work/out" "$work/expected" "bob's ring (the ring keeps its own ID)"

# Fingerprints, worked out here from the ring file's bytes: the coefficient
# words 1..29 of x and of y (stored little-endian), high byte first, through
# openssl's SHA-256; the first 16 bytes in groups of four hex digits.
fingerprint_of() {  # fingerprint_of RING INDEX
  python3 -c '
import sys
data = open(sys.argv[1], "rb").read()
entry = 10 + 142 * int(sys.argv[2])
out = bytearray()
for words in (entry + 22, entry + 84):  # x, y: after the ID and a length word
    for w in range(words, words + 58, 2):
        out += bytes([data[w + 1], data[w]])
sys.stdout.buffer.write(out)' "$1" "$2" | openssl dgst -sha256 -r | cut -c1-32 | tr a-f A-F |
    sed 's/..../& /g; s/ $//'
}
key_id_of() {  # key_id_of RING INDEX: the fingerprint's first 16 hex digits
  fingerprint_of "$1" "$2" | tr -d ' ' | cut -c1-16
}
printf 'bob-at-work\t%s\n' "$(fingerprint_of "$work/bob.vwg" 0)" >"$work/expected"
same "$work/imported-bob" "$work/expected" "an import's listing: the ID and the fingerprint"

# An import weighs every key against the ring. frank's key claims alice's
# ID, and bob's own: refused, the ring untouched; --replace-changed puts it
# in alice's place, never in bob's. Other copies of bob's files serve.
set_id() {  # set_id KEYFILE INDEX ID-BYTES (octal escapes as printf takes them)
  python3 -c '
import sys
path, index, plain = sys.argv[1], int(sys.argv[2]), sys.argv[3].encode("latin-1")
data = bytearray(open(path, "rb").read())
at = 10 + 142 * index
plain = plain.ljust(20, b"\0")[:20]
for i in range(20):
    data[at + i] = ((plain[i] + 0x47) % 256) ^ ((0x3C + 0x11 * i) % 256)
open(path, "wb").write(data)' "$1" "$2" "$(printf "$3")"
}
run frank keygen --id alice
run frank export -o "$drive$work/frank-as-alice.vwg"
cp "$work/frank-as-alice.vwg" "$work/frank-as-bob.vwg"
set_id "$work/frank-as-bob.vwg" 0 bob
cp "$work/bob-public.vwg" "$work/copy-public.vwg"
cp "$work/bob-secret.vwg" "$work/copy-secret.vwg"
cp "$work/copy-public.vwg" "$work/ring.before"
run copy import "$drive$work/frank-as-alice.vwg"
expect 1 "a changed key under alice's ID"
grep -q 'pretending' "$work/err" || fail "the changed key's message: $(cat "$work/err")"
same "$work/copy-public.vwg" "$work/ring.before" "ring after a refused changed key"
run copy import --replace-changed "$drive$work/frank-as-bob.vwg"
expect 1 "a changed key under the own key's ID"
same "$work/copy-public.vwg" "$work/ring.before" "ring after a refused own ID"
run copy import --replace-changed "$drive$work/frank-as-alice.vwg"
expect 0 "--replace-changed"
[ "$(wc -c <"$work/copy-public.vwg")" = "$(wc -c <"$work/ring.before")" ] || fail "a replaced key grew the ring"
[ "$(fingerprint_of "$work/copy-public.vwg" 1)" = "$(fingerprint_of "$work/frank-as-alice.vwg" 0)" ] ||
  fail "the changed key is not in alice's place"

# User IDs with control characters: refused in new IDs, shown escaped.
run copy rename --index 1 --id "$(printf 'red\033[31m')"
expect 2 "an ID with an escape sequence"
run copy keygen --force --id "$(printf 'two\nlines')"
expect 2 "an ID with a line break"
run grace keygen --id grace
run grace export -o "$drive$work/odd.vwg"
set_id "$work/odd.vwg" 0 'odd\033[2J\tid'
run copy import "$drive$work/odd.vwg"
expect 0 "import of a key whose ID holds control characters"
grep -q '^odd\\x1B\[2J\\x09id	' "$work/out" || fail "the import lists the ID escaped: $(od -c "$work/out" | head -2)"
run copy list
grep -q '^3	odd\\x1B\[2J\\x09id$' "$work/out" || fail "list shows the ID escaped: $(od -c "$work/out" | head -4)"

# A message with every kind of byte (some not UTF-8), to bob and back: one
# line of ASCII, decrypted without naming its sender, byte for byte.
printf 'Hello, Bob!\r\n\000\001\377 tab\tend \320\237\321\200\320\270 \360\237\221\213\n' >"$work/message"
for i in $(seq 6); do printf 'line %d of a longer message\n' "$i" >>"$work/message"; done
run alice encrypt --to bob-at-work "$drive$work/message"
expect 0 "encrypt for bob"
cp "$work/out" "$work/strong"
[ "$(wc -l <"$work/strong")" = 1 ] || fail "a strong message is not one line"
LC_ALL=C grep -Eqx '\?VW2:[A-Za-z0-9+/]+={0,2}\.' "$work/strong" || fail "not a strong message: $(head -c 100 "$work/strong")"
# H (33 bytes), the length field and message padded to 32, the tag (16).
size=$(wc -c <"$work/message")
raw=$((33 + (4 + size + 31) / 32 * 32 + 16))
[ "$(wc -c <"$work/strong")" = $((5 + (raw + 2) / 3 * 4 + 2)) ] || fail "strong message length"
run bob decrypt "$drive$work/strong"
expect 0 "bob decrypts without naming the sender"
same "$work/out" "$work/message" "decrypted strong message"
run bob decrypt --from alice "$drive$work/strong"
expect 0 "bob decrypts from the sender he names"
same "$work/out" "$work/message" "decrypted strong message with --from"
run alice encrypt --to bob-at-work "$drive$work/message"
cmp -s "$work/out" "$work/strong" && fail "two encryptions of one text are equal"

# Wrapped by a messenger and read from standard input.
fold -w 50 "$work/strong" | sed 's/$/\r/' >"$work/in"
run bob decrypt
expect 0 "decrypt a wrapped strong message from stdin"
same "$work/out" "$work/message" "wrapped strong message"

# Empty, and 1 MiB of random bytes.
: >"$work/in"
run alice encrypt --to-index 1
expect 0 "encrypt an empty message"
cp "$work/out" "$work/in"
run bob decrypt -
expect 0 "decrypt an empty message"
[ -s "$work/out" ] && fail "an empty message came back as $(od -c "$work/out" | head -2)"
head -c 1048576 /dev/urandom >"$work/big"
run alice encrypt --to bob-at-work "$drive$work/big"
expect 0 "encrypt 1 MiB"
cp "$work/out" "$work/in"
run bob decrypt
expect 0 "decrypt 1 MiB"
same "$work/out" "$work/big" "1 MiB message"
: >"$work/in"

# Refused: from another key than the one named, not for us, from a key we do
# not have, changed on the way. Exit status 1, one line, nothing written.
refused() {  # refused TEXT WHAT: the last run was refused with TEXT
  expect 1 "$2"
  grep -qF "vwg: $1" "$work/err" || fail "$2: $(cat "$work/err")"
  [ "$(wc -l <"$work/err")" = 1 ] || fail "$2: more than one line on stderr"
}
changed='This message was changed on the way, or was not encrypted for you.'
run bob decrypt --from-index 0 "$drive$work/strong"
refused "This message comes from the key with the ID $(key_id_of "$alice_public" 0), not from the key you chose." \
  "a strong message from another key than --from-index"
run alice decrypt "$drive$work/strong"
refused "$changed" "a strong message for another key"
run carol keygen --id carol
run carol import "$drive$work/bob.vwg"
printf 'from carol' >"$work/in"
run carol encrypt --to-index 1
cp "$work/out" "$work/in"
run bob decrypt
refused "This message comes from a key that is not in your public key ring (key ID $(key_id_of "$work/carol-public.vwg" 0)).  Import the sender's public key, then decrypt the message again." \
  "a strong message from an unknown sender"
: >"$work/in"
# One character changed: early in the header, in the middle, in the tag;
# the final dot dropped.
for at in 6 40 140 -3; do
  python3 -c '
import sys
text = open(sys.argv[1]).read().rstrip("\n")
at = int(sys.argv[2])
c = text[at]
text = text[:at] + ("B" if c == "A" else "A") + text[at + 1:]
open(sys.argv[3], "w").write(text + "\n")' "$work/strong" "$at" "$work/changed"
  run bob decrypt "$drive$work/changed"
  refused "$changed" "a strong message changed at $at"
done
sed 's/\.$//' "$work/strong" >"$work/changed"
run bob decrypt "$drive$work/changed"
refused "$changed" "a strong message without its final dot"

# The old block format, for correspondents whose program reads nothing else.
blocks=$(((size + 57) / 58))
run alice encrypt --legacy --to bob-at-work "$drive$work/message"
expect 0 "encrypt for bob in the old format"
cp "$work/out" "$work/encrypted"
[ "$(wc -c <"$work/encrypted")" = $((72 * blocks + 1)) ] || fail "encrypted text length"
[ "$(tail -c 1 "$work/encrypted" | od -An -c | tr -d ' ')" = '\n' ] || fail "no final newline"
LC_ALL=C grep -q '[[:space:]].' "$work/encrypted" && fail "encrypted text holds a blank"
run bob decrypt --from alice "$drive$work/encrypted"
expect 0 "bob decrypts"
cp "$work/message" "$work/expected"
head -c $((58 * blocks - size)) /dev/zero | tr '\0' ' ' >>"$work/expected"
same "$work/out" "$work/expected" "decrypted message with padding"
run bob decrypt "$drive$work/encrypted"
expect 2 "an old-format message without the sender's key"
grep -q 'usage: vwg decrypt' "$work/err" || fail "no usage text"

# Wrapped by a messenger, read from standard input, trimmed.
fold -w 50 "$work/encrypted" | sed 's/$/\r/' >"$work/in"
run bob decrypt --from-index 1 --trim
expect 0 "decrypt wrapped text from stdin"
same "$work/out" "$work/message" "trimmed message"
printf 'hi' >"$work/in"
run bob encrypt --legacy --to-index 2
cp "$work/out" "$work/in"
run alice decrypt --from bob-at-work --trim -
expect 0 "short message back to alice"
printf 'hi' >"$work/expected"
same "$work/out" "$work/expected" "short message"
: >"$work/in"

# Fingerprints.
run bob list --fingerprints
expect 0 "list --fingerprints"
for k in 0 1 2; do
  line=$(sed -n "$((k + 1))p" "$work/out")
  [ "$(printf '%s' "$line" | cut -f3)" = "$(fingerprint_of "$work/bob-public.vwg" $k)" ] ||
    fail "fingerprint of entry $k: $line, expected $(fingerprint_of "$work/bob-public.vwg" $k)"
done
[ "$(cut -f3 "$work/out" | sed -n 2p)" = "$(cut -f3 "$work/out" | sed -n 3p)" ] ||
  fail "the same key imported twice has two fingerprints"
run alice list --fingerprints
[ "$(cut -f3 "$work/out" | sed -n 2p)" = "$(fingerprint_of "$work/bob-public.vwg" 0)" ] ||
  fail "bob's key, exported under another ID, has another fingerprint in alice's ring"

# Ring edits: entry 0 stays, the others can go; any entry can be renamed.
cp "$work/bob-public.vwg" "$work/ring.before"
run bob remove --index 0
expect 1 "removing entry 0"
run bob remove --index 3
expect 1 "removing beyond the ring"
same "$work/bob-public.vwg" "$work/ring.before" "ring after refused removals"
run bob remove --index 1
expect 0 "remove"
run bob rename --index 0 --id "Bob (UIN 1234567)"
expect 0 "rename the own key"
run bob rename --index 1 --id carol-alice
expect 0 "rename"
run bob list
printf '0\tBob (UIN 1234567) -- Owner\n1\tcarol-alice\n' >"$work/expected"
same "$work/out" "$work/expected" "bob's ring after the edits"
[ "$(wc -c <"$work/bob-public.vwg")" = $((10 + 2 * 142)) ] || fail "ring size after a removal"
run bob rename --index 1
expect 2 "rename without an ID"
run bob remove
expect 2 "remove without an index"

# A plain text is refused, not turned into garbage; a cut one gives back its
# whole blocks.
printf 'Hello Bob, this message is not encrypted at all, is it? No it is not.\r\n' >"$work/plain"
run bob decrypt --from-index 1 "$drive$work/plain"
expect 1 "decrypt of a plain text"
grep -q 'This message is not encrypted.' "$work/err" || fail "plain text message: $(cat "$work/err")"
head -c 100 "$work/encrypted" >"$work/cut"
run bob decrypt --from-index 1 "$drive$work/cut"
expect 0 "decrypt of a cut text"
head -c 58 "$work/message" >"$work/expected"
same "$work/out" "$work/expected" "the whole block of a cut text"
grep -q 'warning: the text ends 28 characters into a block' "$work/err" || fail "no warning: $(cat "$work/err")"

# Wrong input: errors (1) and usage errors (2), nothing written.
cp "$alice_public" "$work/ring.before"
run alice encrypt --to nobody "$drive$work/message"
expect 1 "unknown user ID"
run alice encrypt --to-index 2 "$drive$work/message"
expect 1 "index beyond the ring"
run alice encrypt --to-index 1 "$drive$work/no-such-file"
expect 1 "missing message file"
head -c 151 "$work/bob.vwg" >"$work/short.vwg"
run alice import "$drive$work/bob.vwg" "$drive$work/short.vwg"
expect 1 "import of a truncated file"
grep -q 'Incorrect public key file format!' "$work/err" || fail "truncated file message: $(cat "$work/err")"
run alice import "$drive$alice_secret"
expect 1 "import of a secret key file"
same "$alice_public" "$work/ring.before" "ring after failed imports"
run alice encrypt --to-index 1 --public "$drive$work/none.vwg" "$drive$work/message"
expect 1 "missing ring"
grep -q 'none.vwg' "$work/err" || fail "the missing file is not named: $(cat "$work/err")"
run alice decrypt --legacy "$drive$work/encrypted"
expect 2 "--legacy is an option of encrypt only"
run alice export --id 123456789012345678901 -o "$drive$work/x.vwg"
expect 2 "ID longer than 20 characters"
run alice frobnicate
expect 2 "unknown command"
run alice encrypt --to-index x
expect 2 "index that is not a number"
run alice --help
expect 0 "--help"
grep -q 'usage: vwg COMMAND' "$work/out" || fail "no overview"
run alice import --help
expect 0 "import --help"
grep -q 'usage: vwg import' "$work/out" || fail "no import help"

# The secret key of one pair with the ring of another: refused, naming both.
printf 'for nobody' >"$work/in"
set +e
"${runner[@]}" "$vwg" encrypt --to-index 0 --public "$drive$work/bob-public.vwg" \
  --secret "$drive$alice_secret" >"$work/out" 2>"$work/err" <"$work/in"
status=$?
set -e
expect 1 "encrypt with another pair's ring"
grep -q "$(basename "$alice_secret")\" does not belong to the public key ring \".*bob-public.vwg\"" "$work/err" ||
  fail "the mismatched pair's message: $(cat "$work/err")"
: >"$work/in"

# One file chosen for both keys: refused before anything is written.
set +e
"${runner[@]}" "$vwg" keygen --id same --public "$drive$work/same.vwg" --secret "$drive$work/same.vwg" \
  >"$work/out" 2>"$work/err" <"$work/in"
status=$?
set -e
expect 1 "keygen with one file for both keys"
grep -q 'must be two different files' "$work/err" || fail "one-file message: $(cat "$work/err")"
[ ! -e "$work/same.vwg" ] || fail "keygen wrote the file chosen for both keys"

# Passphrases: bob's secret key file gets one, changes it and loses it
# again, each from a file (UTF-8, either line end or none); a wrong
# passphrase writes nothing, and without a terminal or a file vwg says how
# to give one.
cp "$bob_secret" "$work/bob-secret.clear"
printf 'Schl\303\274ssel \342\200\223 \351\215\265\r\nnot this line\n' >"$work/pass1"
printf 'Schl\303\274ssel \342\200\223 \351\215\265' >"$work/pass1-bare"
printf 'Schlussel - \n' >"$work/pass-ascii"
printf 'zweite Passphrase\n' >"$work/pass2"
printf '\nthe first line is empty\n' >"$work/pass-empty"
run bob passwd --new-passphrase-file "$drive$work/pass1"
expect 0 "passwd sets a passphrase"
grep -qx 'the secret key is now protected by a passphrase' "$work/out" || fail "passwd says: $(cat "$work/out")"
[ "$(wc -c <"$bob_secret")" = 996 ] || fail "a protected secret key file is not 996 bytes"
# Nobody else may read it: 0600 natively; under Wine the mode follows the
# owner-only DACL, which leaves others nothing.
mode=$(stat -c %a "$bob_secret")
if [ -z "$drive" ]; then [ "$mode" = 600 ] || fail "secret key file mode $mode"; else
  [ "${mode: -1}" = 0 ] || fail "secret key file mode $mode under Wine"; fi
run bob list
printf '0\tBob (UIN 1234567) -- Owner (secret key protected)\n1\tcarol-alice\n' >"$work/expected"
same "$work/out" "$work/expected" "list marks the protected secret key"

run bob decrypt --from-index 1 --trim "$drive$work/encrypted"
expect 1 "decrypt without a terminal or a passphrase file"
grep -q -- '--passphrase-file FILE' "$work/err" || fail "no word on how to give the passphrase: $(cat "$work/err")"
run bob decrypt --from-index 1 --trim --passphrase-file "$drive$work/pass-ascii" "$drive$work/encrypted"
expect 1 "decrypt with a wrong passphrase"
grep -qi 'wrong passphrase' "$work/err" || fail "wrong passphrase message: $(cat "$work/err")"
run bob decrypt --from-index 1 --trim --passphrase-file "$drive$work/pass1-bare" "$drive$work/encrypted"
expect 0 "decrypt with the passphrase"
same "$work/out" "$work/message" "message decrypted with a protected key"

cp "$bob_secret" "$work/bob-secret.sealed"
run bob passwd --passphrase-file "$drive$work/pass-ascii" --new-passphrase-file "$drive$work/pass2"
expect 1 "passwd with a wrong passphrase"
grep -qi 'wrong passphrase' "$work/err" || fail "wrong passphrase message: $(cat "$work/err")"
run bob passwd --passphrase-file "$drive$work/pass1" --new-passphrase-file "$drive$work/pass-empty"
expect 1 "a new passphrase file whose first line is empty"
run bob passwd --passphrase-file "$drive$work/pass1"
expect 1 "passwd without a terminal or a new passphrase file"
grep -q -- '--new-passphrase-file FILE' "$work/err" || fail "no word on how to give it: $(cat "$work/err")"
same "$bob_secret" "$work/bob-secret.sealed" "refused passphrase changes write nothing"
run bob passwd --passphrase-file "$drive$work/pass1" --new-passphrase-file "$drive$work/pass2"
expect 0 "passwd changes the passphrase"
grep -qx 'the passphrase has been changed' "$work/out" || fail "passwd says: $(cat "$work/out")"
run bob encrypt --to-index 1 --passphrase-file "$drive$work/pass1" "$drive$work/message"
expect 1 "the old passphrase after a change"
run bob passwd --remove --passphrase-file "$drive$work/pass2"
expect 0 "passwd --remove"
same "$bob_secret" "$work/bob-secret.clear" "the secret key file in the clear again"
run bob passwd --remove
expect 0 "passwd --remove of a key without a passphrase"
grep -q 'nothing was written' "$work/out" || fail "passwd --remove says: $(cat "$work/out")"
run bob passwd --remove --new-passphrase-file "$drive$work/pass2"
expect 2 "passwd --remove with a new passphrase"

# keygen protects the new key at once; --protect needs a terminal.
run erin keygen --id erin --new-passphrase-file "$drive$work/pass2"
expect 0 "keygen with a passphrase"
[ "$(wc -c <"$work/erin-secret.vwg")" = 996 ] || fail "keygen --new-passphrase-file wrote no protected key"
run dave keygen --protect
expect 1 "keygen --protect without a terminal"
[ -e "$work/dave-public.vwg" ] || [ -e "$work/dave-secret.vwg" ] && fail "a refused keygen wrote a key file"

# The terminal (natively: a pseudo-terminal of its own). The passphrase is
# typed twice and never shown; then a message comes on standard input while
# the passphrase comes from the terminal.
if [ -z "$drive" ]; then
  terminal() {  # terminal ANSWER... -- ARGS...: vwg with bob's key files on a terminal
    set +e
    python3 "$(dirname "$0")/on_terminal.py" "$work/terminal" "$@"
    status=$?
    set -e
  }
  typed='T\303\274r zu \342\202\254'
  typed=$(printf "$typed")
  bob_files=(--public "$work/bob-public.vwg" --secret "$bob_secret")
  terminal "$typed" "$typed" -- "$vwg" "${bob_files[@]}" passwd
  [ "$status" = 0 ] || fail "passwd on a terminal: $status, $(cat "$work/terminal")"
  grep -q 'New passphrase: ' "$work/terminal" || fail "no prompt: $(cat "$work/terminal")"
  grep -q 'zu' "$work/terminal" && fail "the passphrase was shown: $(cat "$work/terminal")"
  VWG=$vwg PUBLIC=$work/bob-public.vwg SECRET=$bob_secret IN=$work/encrypted OUT=$work/out terminal "$typed" -- \
    sh -c 'exec "$VWG" --public "$PUBLIC" --secret "$SECRET" decrypt --from-index 1 --trim <"$IN" >"$OUT"'
  [ "$status" = 0 ] || fail "decrypt with a passphrase from the terminal: $status, $(cat "$work/terminal")"
  same "$work/out" "$work/message" "message from standard input, passphrase from the terminal"
  cp "$bob_secret" "$work/bob-secret.sealed"
  terminal "$typed" 'one' 'other' -- "$vwg" "${bob_files[@]}" passwd
  [ "$status" = 1 ] && grep -q 'the two passphrases differ' "$work/terminal" ||
    fail "different entries: $status, $(cat "$work/terminal")"
  same "$bob_secret" "$work/bob-secret.sealed" "different entries write nothing"
  terminal "$typed" -- "$vwg" "${bob_files[@]}" passwd --remove
  [ "$status" = 0 ] || fail "passwd --remove on a terminal: $status, $(cat "$work/terminal")"
  grep -q "Passphrase for $bob_secret: " "$work/terminal" || fail "the prompt names no file: $(cat "$work/terminal")"
  same "$bob_secret" "$work/bob-secret.clear" "the secret key file in the clear after the terminal"
fi

if [ "$failures" -gt 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "vwg end to end: all checks passed"
