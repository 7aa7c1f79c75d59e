#!/usr/bin/env bash
# vwg_cli_test.sh VWG [RUNNER...]: two users, alice and bob, each with key
# files of their own, exchange public keys and messages through the real
# program, which is then given wrong input; copies of their rings stand for
# correspondents whose program sends no strong key. RUNNER (for instance
# scripts/wine-run.sh DIR) runs a Windows build; its paths get a drive letter.
# Output goes to files only: under Wine a pipe can stay open after the
# program has ended. Key files are taken apart and built by key_file.py.
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

refused() {  # refused TEXT WHAT: the last run was refused with TEXT, its one line on stderr
  expect 1 "$2"
  grep -qF "vwg: $1" "$work/err" || fail "$2: $(cat "$work/err")"
  [ "$(wc -l <"$work/err")" = 1 ] || fail "$2: more than one line on stderr"
}

same() {  # same FILE1 FILE2 WHAT
  cmp -s "$1" "$2" || fail "$3: $(od -c "$1" | head -3) differs from $(od -c "$2" | head -3)"
}

size_is() {  # size_is FILE BYTES WHAT
  [ "$(wc -c <"$1")" = "$2" ] || fail "$3: $(wc -c <"$1") bytes, not $2"
}

# The last run's standard error without Wine's CRs.
stderr_text() { tr -d '\r' <"$work/err"; }

# Public key files by their bytes: fingerprints and key IDs worked out apart
# from vwg (over the strong key when the file has one), and files edited as
# older programs, or forgers, would leave them.
key_file() { python3 "$(dirname "$0")/key_file.py" "$@"; }
fingerprint_of() { key_file fingerprint "$1" "$2"; }  # fingerprint_of FILE INDEX
key_id_of() {  # key_id_of FILE INDEX: the fingerprint's first 16 hex digits
  fingerprint_of "$1" "$2" | tr -d ' ' | cut -c1-16
}
set_id() { key_file set-id "$1" "$2" "$(printf "$3")"; }  # set_id FILE INDEX ID (octal escapes as printf takes them)

# says_sender ID KEY-ID SINCE WHAT: the last run's standard error is the one
# line naming the sender of a ?VW3: message and a time of writing, to the
# minute, between SINCE and now.
says_sender() {
  local line written
  line=$(stderr_text)
  written=$(printf '%s' "$line" | sed -n "s/^vwg: from $1 ($2), written \([0-9]\{4\}-[0-9][0-9]-[0-9][0-9] [0-9][0-9]:[0-9][0-9]\) UTC\$/\1/p")
  if [ -z "$written" ] || [ "$(stderr_text | wc -l)" != 1 ]; then
    fail "$4: the sender line: $line"
    return
  fi
  written=$(date -u -d "$written" +%s)
  [ "$written" -gt $(($3 - 60)) ] && [ "$written" -le "$(date -u +%s)" ] ||
    fail "$4: $line: not between $(date -u -d "@$3") and now"
}

older_format() {  # older_format ID: the sender line of a text in an older format
  printf 'vwg: from %s, older format: not authenticated' "$1"
}
older_refused() {  # older_refused ID: the refusal of an older format from a key with a strong key
  printf "%s's program writes strong messages. This older-format text was forged, or %s does not have your strong key \
yet: send %s your key file again" "$1" "$1" "$1"
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
# The ring: a header, one entry and the trailer with its strong key.
size_is "$alice_public" 280 "alice's new ring"
size_is "$alice_secret" 938 "alice's secret key file"
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
same "$work/alice.vwg" "$alice_public" "the export of the own key: the one-key ring, strong key and all"
run bob export --index 0 --id bob-at-work -o "$drive$work/bob.vwg"
expect 0 "export bob under a new ID"
size_is "$work/bob.vwg" 280 "an exported key with its strong key"
run alice import "$drive$work/bob.vwg"
expect 0 "alice imports bob"
cp "$work/out" "$work/imported-bob"
[ -s "$work/err" ] && fail "a key with a strong key imported with a word: $(cat "$work/err")"
run bob import "$drive$work/alice.vwg" "$drive$work/alice.vwg"
expect 0 "bob imports alice twice"
[ "$(cut -f1 "$work/out")" = alice ] || fail "a key imported twice is listed once: $(cat "$work/out")"
grep -q '^vwg: alice: already in the ring, not imported again' "$work/err" ||
  fail "the second copy is not said to be skipped: $(cat "$work/err")"
# A ring from before the import rule may hold one key twice, each copy with
# its strong key; the checks below use such a ring.
key_file duplicate "$work/bob-public.vwg" 1
run alice list
expect 0 "list"
printf '0\talice -- Owner\n1\tbob-at-work\n' >"$work/expected"
same "$work/out" "$work/expected" "alice's ring"
run bob list
printf '0\tbob -- Owner\n1\talice\n2\talice\n' >"$work/expected"
same "$work/out" "$work/expected" "bob's ring (the ring keeps its own ID)"

printf 'bob-at-work\t%s\n' "$(fingerprint_of "$work/bob.vwg" 0)" >"$work/expected"
same "$work/imported-bob" "$work/expected" "an import's listing: the ID and the fingerprint"

# An import weighs every key against the ring. frank's key claims alice's
# ID, and bob's own: refused, the ring untouched; --replace-changed puts it
# in alice's place, never in bob's. Other copies of bob's files serve.
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
grep -q 'your own key is never replaced' "$work/err" || fail "the own key's message: $(cat "$work/err")"
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

# The rest of the import rule, on the same copy: bob, frank's key under
# alice's ID, alice, grace's under the odd ID. henry's key with frank's
# strong key is refused, and jules's key before it in the same import is not
# taken either: the ring is written once, when every key has been weighed.
run henry keygen --id henry
run henry export -o "$drive$work/henry.vwg"
run jules keygen --id jules
run jules export -o "$drive$work/jules.vwg"
cp "$work/henry.vwg" "$work/henry-with-frank.vwg"
key_file copy-strong "$work/frank-as-alice.vwg" 0 "$work/henry-with-frank.vwg" 0
cp "$work/copy-public.vwg" "$work/ring.before"
run copy import --replace-changed "$drive$work/jules.vwg" "$drive$work/henry-with-frank.vwg"
refused "henry uses the strong key of alice" "a key with the strong key of another"
same "$work/copy-public.vwg" "$work/ring.before" "ring after an import refused at its second key"

# Keys the ring holds are skipped, each said so, and the ring is not
# written: with their strong key, and exported before strong keys.
cp "$work/alice.vwg" "$work/alice-old.vwg"
key_file strip "$work/alice-old.vwg"
cp "$work/bob.vwg" "$work/bob-old.vwg"
key_file strip "$work/bob-old.vwg"
run copy import "$drive$work/alice.vwg" "$drive$work/alice-old.vwg" "$drive$work/bob-old.vwg"
expect 0 "an import of keys the ring holds"
[ -s "$work/out" ] && fail "skipped keys are listed: $(cat "$work/out")"
printf 'vwg: alice: already in the ring, not imported again\n%.0s' 1 2 >"$work/expected"
printf 'vwg: bob-at-work: already in the ring as bob, not imported again\n' >>"$work/expected"
stderr_text >"$work/said"
same "$work/said" "$work/expected" "the skipped keys' lines"
same "$work/copy-public.vwg" "$work/ring.before" "ring after an import of keys it holds"

# Entry 0 is never changed by an import: not to its own point with another
# strong key, not even with --replace-changed, and not given its strong key
# by a file when it lacks it (only the secret key gives it that).
cp "$work/bob.vwg" "$work/bob-changed.vwg"
key_file copy-strong "$work/jules.vwg" 0 "$work/bob-changed.vwg" 0
run copy import --replace-changed "$drive$work/bob-changed.vwg"
refused "bob-at-work: this is your own key's user ID or point, but another key; your own key is never replaced by an \
import." "the own point with another strong key"
same "$work/copy-public.vwg" "$work/ring.before" "ring after a refused change of the own key"
key_file drop-strong "$work/copy-public.vwg" 0
cp "$work/copy-public.vwg" "$work/ring.before"
run copy import "$drive$work/bob.vwg"
expect 0 "the own key's export to a ring that lacks its strong key"
grep -q '^vwg: bob-at-work: already in the ring as bob, not imported again' "$work/err" ||
  fail "the own key's export is not skipped: $(cat "$work/err")"
same "$work/copy-public.vwg" "$work/ring.before" "the own key is not given a strong key by an import"

# A key the ring holds without a strong key gets the one an import brings,
# in its place and under its user ID, and its new fingerprint is shown for
# comparing with its owner; the listing names the entry as the ring does.
key_file drop-strong "$work/copy-public.vwg" 2
run copy rename --index 2 --id alice-old
run copy import "$drive$work/alice.vwg"
expect 0 "an import that adds a strong key"
alice_fingerprint=$(fingerprint_of "$work/alice.vwg" 0)
printf 'alice-old\t%s\n' "$alice_fingerprint" >"$work/expected"
same "$work/out" "$work/expected" "the listing of a key given its strong key"
[ "$(stderr_text)" = "vwg: alice-old: strong key added, fingerprint $alice_fingerprint: compare it with alice-old" ] ||
  fail "the strong key added is not said so: $(cat "$work/err")"
run copy list --fingerprints
[ "$(sed -n 3p "$work/out")" = "2	alice-old	$alice_fingerprint" ] ||
  fail "the entry given its strong key: $(sed -n 3p "$work/out")"

# The same point with another strong key is a changed key: refused, and with
# --replace-changed put in its place under its user ID.
cp "$work/alice.vwg" "$work/alice-changed.vwg"
key_file copy-strong "$work/jules.vwg" 0 "$work/alice-changed.vwg" 0
cp "$work/copy-public.vwg" "$work/ring.before"
run copy import "$drive$work/alice-changed.vwg"
expect 1 "another strong key for a key in the ring"
grep -q 'pretending' "$work/err" || fail "the changed strong key's message: $(cat "$work/err")"
same "$work/copy-public.vwg" "$work/ring.before" "ring after a refused changed strong key"
run copy import --replace-changed "$drive$work/alice-changed.vwg"
expect 0 "--replace-changed for another strong key"
run copy list --fingerprints
[ "$(sed -n 3p "$work/out")" = "2	alice-old	$(fingerprint_of "$work/jules.vwg" 0)" ] ||
  fail "the changed strong key is not in its entry's place: $(sed -n 3p "$work/out")"

# A key without a strong key is taken, with a warning that names it.
cp "$work/henry.vwg" "$work/henry-old.vwg"
key_file strip "$work/henry-old.vwg"
run copy import "$drive$work/henry-old.vwg"
expect 0 "an import of a key without a strong key"
printf 'henry\t%s\n' "$(fingerprint_of "$work/henry-old.vwg" 0)" >"$work/expected"
same "$work/out" "$work/expected" "the listing of a key without a strong key"
[ "$(stderr_text)" = "vwg: warning: henry has no strong key: messages to and from it are not authenticated until its \
owner's program sends a key file with a strong key." ] || fail "no warning for a key without a strong key: $(cat "$work/err")"

# A new key whose user ID differs from one in the ring only in letter case,
# spaces or bytes that show nothing is taken with a warning that names the
# key it looks like, what shows nothing written out.
run kate keygen --id kate
run kate export -o "$drive$work/kate.vwg"
set_id "$work/kate.vwg" 0 'He Nry\t'
run copy import "$drive$work/kate.vwg"
expect 0 "an import of a look-alike user ID"
printf 'He Nry\\x09\t%s\n' "$(fingerprint_of "$work/kate.vwg" 0)" >"$work/expected"
same "$work/out" "$work/expected" "the listing of a look-alike user ID"
[ "$(stderr_text)" = "vwg: warning: 'He Nry\\x09' looks like 'henry', a key already in your ring: the two user IDs \
differ only in letter case, spaces or characters that do not show.  Someone may be pretending to be henry: compare the \
fingerprint with its owner before using the key." ] || fail "no warning for a look-alike user ID: $(cat "$work/err")"

# A message with every kind of byte (some not UTF-8), to bob and back: one
# line of ASCII, ?VW3: between two keys with strong keys, decrypted without
# naming its sender, byte for byte; then the sender, by the user ID in the
# reader's ring and the ID of the strong key, and when it was written.
printf 'Hello, Bob!\r\n\000\001\377 tab\tend \320\237\321\200\320\270 \360\237\221\213\n' >"$work/message"
for i in $(seq 6); do printf 'line %d of a longer message\n' "$i" >>"$work/message"; done
alice_id=$(key_id_of "$alice_public" 0)
since=$(date -u +%s)
run alice encrypt --to bob-at-work "$drive$work/message"
expect 0 "encrypt for bob"
[ -s "$work/err" ] && fail "a message to a key with a strong key came with a word: $(cat "$work/err")"
cp "$work/out" "$work/strong"
[ "$(wc -l <"$work/strong")" = 1 ] || fail "a strong message is not one line"
LC_ALL=C grep -Eqx '\?VW3:[A-Za-z0-9+/]+={0,2}\.' "$work/strong" || fail "not a ?VW3: message: $(head -c 100 "$work/strong")"
# H (133 bytes), the time, the length field and message padded to 32, the
# tag (16).
size=$(wc -c <"$work/message")
raw=$((133 + (12 + size + 31) / 32 * 32 + 16))
[ "$(wc -c <"$work/strong")" = $((5 + (raw + 2) / 3 * 4 + 2)) ] || fail "strong message length"
run bob decrypt "$drive$work/strong"
expect 0 "bob decrypts without naming the sender"
same "$work/out" "$work/message" "decrypted strong message"
says_sender alice "$alice_id" "$since" "bob decrypts without naming the sender"
run bob decrypt --from alice "$drive$work/strong"
expect 0 "bob decrypts from the sender he names"
same "$work/out" "$work/message" "decrypted strong message with --from"
says_sender alice "$alice_id" "$since" "bob decrypts from the sender he names"
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

# The older formats are for correspondents whose program sends no strong
# key: olda and oldb are alice and bob with rings in which the other's key
# came from such a program. To such a key vwg writes ?VW2:, saying that it
# is not authenticated; the reader says so too.
cp "$alice_public" "$work/olda-public.vwg"
cp "$alice_secret" "$work/olda-secret.vwg"
key_file drop-strong "$work/olda-public.vwg" 1
cp "$work/bob-public.vwg" "$work/oldb-public.vwg"
cp "$bob_secret" "$work/oldb-secret.vwg"
key_file drop-strong "$work/oldb-public.vwg" 1
key_file drop-strong "$work/oldb-public.vwg" 2
sent_without() {  # sent_without ID: the warning of a message to a key without a strong key
  printf 'vwg: warning: The key of %s has no strong key, so this message is not authenticated (and, in the old format, one guessed message opens it).  Exchanging key files again fixes it.' "$1"
}
run olda encrypt --to bob-at-work "$drive$work/message"
expect 0 "encrypt for a key without a strong key"
cp "$work/out" "$work/v2"
LC_ALL=C grep -Eqx '\?VW2:[A-Za-z0-9+/]+={0,2}\.' "$work/v2" || fail "not a ?VW2: message: $(head -c 100 "$work/v2")"
# H (33 bytes), the length field and message padded to 32, the tag (16).
raw=$((33 + (4 + size + 31) / 32 * 32 + 16))
[ "$(wc -c <"$work/v2")" = $((5 + (raw + 2) / 3 * 4 + 2)) ] || fail "?VW2: message length"
[ "$(stderr_text)" = "$(sent_without bob-at-work)" ] || fail "a ?VW2: message without its warning: $(cat "$work/err")"
run oldb decrypt "$drive$work/v2"
expect 0 "a ?VW2: message from a key without a strong key"
same "$work/out" "$work/message" "decrypted ?VW2: message"
[ "$(stderr_text)" = "$(older_format alice)" ] || fail "the ?VW2: message's sender: $(cat "$work/err")"
run oldb decrypt --from alice "$drive$work/v2"
expect 0 "a ?VW2: message from the sender named"
same "$work/out" "$work/message" "decrypted ?VW2: message with --from"

# From a key with a strong key the older formats are refused, naming it;
# --accept-old reads them anyway, with the same words as a warning.
run bob decrypt "$drive$work/v2"
refused "$(older_refused alice)" "a ?VW2: message from a key with a strong key"
run bob decrypt --accept-old "$drive$work/v2"
expect 0 "--accept-old reads a ?VW2: message"
same "$work/out" "$work/message" "?VW2: message read with --accept-old"
printf 'vwg: warning: %s\n%s\n' "$(older_refused alice)" "$(older_format alice)" >"$work/expected"
stderr_text >"$work/said"
same "$work/said" "$work/expected" "--accept-old's warning and sender line"

# The old block format, for correspondents whose program reads nothing else:
# only to a key without a strong key, with the same warning; --legacy to a
# key with one is wrong usage.
blocks=$(((size + 57) / 58))
run alice encrypt --legacy --to bob-at-work "$drive$work/message"
expect 2 "--legacy to a key with a strong key"
[ "$(stderr_text)" = "vwg: --legacy is for keys without a strong key; bob-at-work has one and reads ?VW3: messages: \
leave out --legacy" ] || fail "--legacy to a key with a strong key: $(cat "$work/err")"
run olda encrypt --legacy --to bob-at-work "$drive$work/message"
expect 0 "encrypt for bob in the old format"
[ "$(stderr_text)" = "$(sent_without bob-at-work)" ] || fail "an old-format message without a warning: $(cat "$work/err")"
cp "$work/out" "$work/encrypted"
[ "$(wc -c <"$work/encrypted")" = $((72 * blocks + 1)) ] || fail "encrypted text length"
[ "$(tail -c 1 "$work/encrypted" | od -An -c | tr -d ' ')" = '\n' ] || fail "no final newline"
LC_ALL=C grep -q '[[:space:]].' "$work/encrypted" && fail "encrypted text holds a blank"
run oldb decrypt --from alice "$drive$work/encrypted"
expect 0 "bob decrypts"
cp "$work/message" "$work/expected"
head -c $((58 * blocks - size)) /dev/zero | tr '\0' ' ' >>"$work/expected"
same "$work/out" "$work/expected" "decrypted message with padding"
[ "$(stderr_text)" = "$(older_format alice)" ] || fail "the old-format message's sender: $(cat "$work/err")"
run oldb decrypt "$drive$work/encrypted"
expect 2 "an old-format message without the sender's key"
grep -q 'usage: vwg decrypt' "$work/err" || fail "no usage text"
run bob decrypt --from alice "$drive$work/encrypted"
refused "$(older_refused alice)" "an old-format message from a key with a strong key"
run bob decrypt --from alice --accept-old "$drive$work/encrypted"
expect 0 "--accept-old reads an old-format message"
same "$work/out" "$work/expected" "old-format message read with --accept-old"
grep -qF "vwg: warning: $(older_refused alice)" "$work/err" || fail "--accept-old without its warning: $(cat "$work/err")"

# Wrapped by a messenger, read from standard input, trimmed.
fold -w 50 "$work/encrypted" | sed 's/$/\r/' >"$work/in"
run oldb decrypt --from-index 1 --trim
expect 0 "decrypt wrapped text from stdin"
same "$work/out" "$work/message" "trimmed message"
printf 'hi' >"$work/in"
run oldb encrypt --legacy --to-index 2
cp "$work/out" "$work/in"
run olda decrypt --from bob-at-work --trim -
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
grep -q 'no strong key' "$work/out" && fail "keys with strong keys are marked: $(cat "$work/out")"
run alice list --fingerprints
[ "$(cut -f3 "$work/out" | sed -n 2p)" = "$(fingerprint_of "$work/bob-public.vwg" 0)" ] ||
  fail "bob's key, exported under another ID, has another fingerprint in alice's ring"
# A key without a strong key is known by its public point's fingerprint, and
# marked so in a column of its own; a plain list is as it always was.
run oldb list --fingerprints
for k in 0 1 2; do
  mark=$'\tno strong key'
  [ "$k" = 0 ] && mark=
  line=$(sed -n "$((k + 1))p" "$work/out")
  [ "$(printf '%s' "$line" | cut -f3-)" = "$(fingerprint_of "$work/oldb-public.vwg" $k)$mark" ] ||
    fail "entry $k of a ring with keys without strong keys: $line"
done
[ "$(cut -f3 "$work/out" | sed -n 2p)" = "$(fingerprint_of "$work/alice-old.vwg" 0)" ] ||
  fail "the fingerprint of a key without a strong key is not its point's"
run oldb list
printf '0\tbob -- Owner\n1\talice\n2\talice\n' >"$work/expected"
same "$work/out" "$work/expected" "a plain list of a ring with keys without strong keys"

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
size_is "$work/bob-public.vwg" $((10 + 2 * 142 + 6 + 2 * 122)) "ring after a removal, with the strong keys"
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
run oldb decrypt --from-index 1 "$drive$work/cut"
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
for cut in 151 279; do
  head -c $cut "$work/bob.vwg" >"$work/short.vwg"
  run alice import "$drive$work/bob.vwg" "$drive$work/short.vwg"
  expect 1 "import of a file cut to $cut bytes"
  grep -q 'Incorrect public key file format!' "$work/err" || fail "truncated file message: $(cat "$work/err")"
done
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
# So is a ring whose first entry is the secret key's point with a strong key
# that is not the secret key's.
cp "$alice_public" "$work/mixed-public.vwg"
key_file copy-strong "$work/bob.vwg" 0 "$work/mixed-public.vwg" 0
cp "$work/mixed-public.vwg" "$work/ring.before"
set +e
"${runner[@]}" "$vwg" encrypt --to-index 0 --public "$drive$work/mixed-public.vwg" \
  --secret "$drive$alice_secret" >"$work/out" 2>"$work/err" <"$work/in"
status=$?
set -e
expect 1 "encrypt with another strong key in entry 0"
grep -q 'does not belong to the public key ring' "$work/err" || fail "another strong key in entry 0: $(cat "$work/err")"
same "$work/mixed-public.vwg" "$work/ring.before" "a mismatched ring is not written"
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

# A file size limit that the new one-key ring (280 bytes) fits but neither
# the secret key file (938) nor the old ring (three entries, 436 bytes) does:
# the secret key is not written, the old ring cannot be put back, and vwg
# says both, naming the ring and what to do. The limit's signal is ignored,
# so that writes fail; Wine's writes are the program's own, so the limit
# works there too.
cp "$work/bob-old.vwg" "$work/ivy-public.vwg"
key_file duplicate "$work/ivy-public.vwg" 0
key_file duplicate "$work/ivy-public.vwg" 0
set +e
(trap '' XFSZ && exec prlimit --fsize=400 "${runner[@]}" "$vwg" keygen --force --id ivy \
  --public "$drive$work/ivy-public.vwg" --secret "$drive$work/ivy-secret.vwg" >"$work/out" 2>"$work/err" <"$work/in")
status=$?
set -e
expect 1 "keygen whose old ring cannot be put back"
grep -q "^vwg: .*ivy-secret.vwg: " "$work/err" || fail "the secret key's failure: $(cat "$work/err")"
grep -q "^vwg: The public key ring \".*ivy-public.vwg\" could not be put back as it was either: it now holds only \
the new public key, whose secret key was saved nowhere.  Put back a copy of your old ring, or generate new keys \
again\." "$work/err" || fail "the ring's message: $(cat "$work/err")"
size_is "$work/ivy-public.vwg" 280 "ivy's ring, which should be the new one-key ring"
[ ! -e "$work/ivy-secret.vwg" ] || fail "ivy's secret key file was written"
ls "$work" | grep -q '\.tmp$' && fail "a temporary file is left: $(ls "$work")"

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

run bob decrypt "$drive$work/strong"
expect 1 "decrypt without a terminal or a passphrase file"
grep -q -- '--passphrase-file FILE' "$work/err" || fail "no word on how to give the passphrase: $(cat "$work/err")"
run bob decrypt --passphrase-file "$drive$work/pass-ascii" "$drive$work/strong"
expect 1 "decrypt with a wrong passphrase"
grep -qi 'wrong passphrase' "$work/err" || fail "wrong passphrase message: $(cat "$work/err")"
run bob decrypt --passphrase-file "$drive$work/pass1-bare" "$drive$work/strong"
expect 0 "decrypt with the passphrase"
same "$work/out" "$work/message" "message decrypted with a protected key"
# Standard input as the passphrase file is wrong usage while the message
# comes there too, under any of its names; with the message in a file it is
# the passphrase. (Natively: Wine cannot tell which file its standard input
# is.)
if [ -z "$drive" ]; then
  cp "$work/strong" "$work/in"
  for name in /dev/stdin /proc/self/fd/0; do
    run bob decrypt --passphrase-file "$name"
    expect 2 "--passphrase-file $name with the message on standard input"
    grep -q '^vwg: --passphrase-file names standard input, which carries the message' "$work/err" &&
      grep -q 'usage: vwg decrypt' "$work/err" || fail "--passphrase-file $name: $(cat "$work/err")"
  done
  run bob encrypt --to-index 1 --passphrase-file /dev/stdin -
  expect 2 "encrypt with the passphrase and the message on standard input"
  cp "$work/pass1" "$work/in"
  run bob decrypt --passphrase-file /dev/stdin "$work/strong"
  expect 0 "the passphrase on standard input, the message in a file"
  same "$work/out" "$work/message" "message decrypted with the passphrase from standard input"
  : >"$work/in"
fi

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

# A secret key file reached through a symbolic link is protected where it
# is: the link stays a link (under Wine too, whose final path of a file
# follows the Unix link).
mkdir "$work/real"
cp "$work/bob-secret.clear" "$work/real/secret.vwg"
ln -s real/secret.vwg "$work/linked-secret.vwg"
cp "$work/bob-public.vwg" "$work/linked-public.vwg"
run linked passwd --new-passphrase-file "$drive$work/pass1"
expect 0 "passwd through a symbolic link"
[ -L "$work/linked-secret.vwg" ] && [ "$(readlink "$work/linked-secret.vwg")" = real/secret.vwg ] ||
  fail "passwd replaced the link: $(ls -l "$work/linked-secret.vwg")"
size_is "$work/real/secret.vwg" 996 "the file the link names, protected"
[ "$(ls "$work/real")" = secret.vwg ] || fail "the folder of the linked file: $(ls "$work/real")"
run linked decrypt --passphrase-file "$drive$work/pass1" "$drive$work/strong"
expect 0 "decrypt through the link"

# A protected file with fewer rounds than ours: below 100,000 it is damaged
# and refused before any passphrase, and left as it is; from 100,000 on it
# opens and is written again with 600,000 under the same passphrase, which
# vwg says. A rewrite that fails is a warning: the command goes on.
cp "$work/bob-public.vwg" "$work/weak-public.vwg"
key_file protect "$work/bob-secret.clear" "$work/pass1-bare" 99999 "$work/weak-secret.vwg"
cp "$work/weak-secret.vwg" "$work/weak.before"
run weak decrypt "$drive$work/strong"
expect 1 "a file protected with 99,999 rounds"
grep -qF "weak-secret.vwg: The secret key file is damaged: its passphrase protection has fewer than 100,000 \
iterations, which no copy of Vaultwing writes.  It has been left as it is." "$work/err" ||
  fail "the damaged file's message: $(cat "$work/err")"
run weak passwd --passphrase-file "$drive$work/pass1" --new-passphrase-file "$drive$work/pass2"
expect 1 "passwd of a file protected with 99,999 rounds"
same "$work/weak-secret.vwg" "$work/weak.before" "a file with too few rounds"
key_file protect "$work/bob-secret.clear" "$work/pass1-bare" 100000 "$work/weak-secret.vwg"
run weak decrypt --passphrase-file "$drive$work/pass1" "$drive$work/strong"
expect 0 "a file protected with 100,000 rounds"
same "$work/out" "$work/message" "message decrypted with a file of 100,000 rounds"
[ "$(stderr_text | head -1)" = "vwg: The secret key file \"$drive$work/weak-secret.vwg\" was protected with only \
100,000 iterations, which makes a passphrase cheap to guess.  It has been written again with 600,000, under the \
same passphrase." ] && [ "$(stderr_text | wc -l)" = 2 ] || fail "the rewrite is not said: $(cat "$work/err")"
[ "$(key_file count "$work/weak-secret.vwg")" = 600000 ] || fail "not written again with 600,000"
mode=$(stat -c %a "$work/weak-secret.vwg")
if [ -z "$drive" ]; then [ "$mode" = 600 ] || fail "the rewritten file's mode $mode"; fi
cp "$work/weak-secret.vwg" "$work/weak.after"
run weak decrypt --passphrase-file "$drive$work/pass1" "$drive$work/strong"
expect 0 "the rewritten file with its passphrase"
same "$work/weak-secret.vwg" "$work/weak.after" "a file with our count is not written"
key_file protect "$work/bob-secret.clear" "$work/pass1-bare" 100000 "$work/weak-secret.vwg"
cp "$work/weak-secret.vwg" "$work/weak.before"
set +e
(trap '' XFSZ && exec prlimit --fsize=500 "${runner[@]}" "$vwg" --public "$drive$work/weak-public.vwg" \
  --secret "$drive$work/weak-secret.vwg" decrypt --passphrase-file "$drive$work/pass1" "$drive$work/strong" \
  >"$work/out" 2>"$work/err" <"$work/in")
status=$?
set -e
expect 0 "a rewrite that fails"
same "$work/out" "$work/message" "message decrypted although the rewrite failed"
grep -q "^vwg: warning: The secret key file \".*weak-secret.vwg\" is protected with only 100,000 iterations.  It \
could not be written again with 600,000, so it stays as it was; the key is in use all the same.  The system says: ." \
  "$work/err" || fail "the failed rewrite's warning: $(cat "$work/err")"
same "$work/weak-secret.vwg" "$work/weak.before" "a file whose rewrite failed"

# The passphrase rule, the tray program's too: at most 1024 bytes of UTF-8
# without NUL. 1024 bytes (an "a" and 341 euro signs) protect a key and open
# it again; one byte more, a byte that is no UTF-8 or a NUL, whether in the
# new passphrase's file or the current one's, are refused and nothing is
# written.
printf 'a' >"$work/pass-1024"
for _ in $(seq 341); do printf '\342\202\254'; done >>"$work/pass-1024"
printf 'a' | cat - "$work/pass-1024" >"$work/pass-1025"
printf 'caf\351\n' >"$work/pass-latin1"
printf 'a\000b\n' >"$work/pass-nul"
cp "$work/bob-secret.clear" "$work/rule-secret.vwg"
cp "$work/bob-public.vwg" "$work/rule-public.vwg"
run rule passwd --new-passphrase-file "$drive$work/pass-1024"
expect 0 "a passphrase of 1024 bytes"
run rule decrypt --passphrase-file "$drive$work/pass-1024" "$drive$work/strong"
expect 0 "decrypt with a passphrase of 1024 bytes"
same "$work/out" "$work/message" "message decrypted with a passphrase of 1024 bytes"
cp "$work/rule-secret.vwg" "$work/rule.before"
too_long='This passphrase is too long: a passphrase has at most 1024 bytes in UTF-8'
not_text='A passphrase must be text in UTF-8, without NUL characters.'
for refusal in "pass-1025:$too_long" "pass-latin1:$not_text" "pass-nul:$not_text"; do
  file=${refusal%%:*}
  run rule passwd --passphrase-file "$drive$work/pass-1024" --new-passphrase-file "$drive$work/$file"
  expect 1 "the new passphrase in $file"
  grep -qF "$file: ${refusal#*:}" "$work/err" || fail "the new passphrase in $file: $(cat "$work/err")"
  run rule decrypt --passphrase-file "$drive$work/$file" "$drive$work/strong"
  expect 1 "the current passphrase in $file"
  grep -qF "${refusal#*:}" "$work/err" || fail "the current passphrase in $file: $(cat "$work/err")"
  run refused keygen --new-passphrase-file "$drive$work/$file"
  expect 1 "keygen with the passphrase in $file"
  [ -e "$work/refused-public.vwg" ] || [ -e "$work/refused-secret.vwg" ] && fail "keygen wrote with $file"
done
same "$work/rule-secret.vwg" "$work/rule.before" "refused passphrases write nothing"

# keygen protects the new key at once; --protect needs a terminal.
run erin keygen --id erin --new-passphrase-file "$drive$work/pass2"
expect 0 "keygen with a passphrase"
[ "$(wc -c <"$work/erin-secret.vwg")" = 996 ] || fail "keygen --new-passphrase-file wrote no protected key"
run dave keygen --protect
expect 1 "keygen --protect without a terminal"
[ -e "$work/dave-public.vwg" ] || [ -e "$work/dave-secret.vwg" ] && fail "a refused keygen wrote a key file"

# A ring that a program from before strong keys rewrote has lost its
# trailer: erin's, one entry in 152 bytes. Listing it, and every command that
# fails before the secret key is open, leave it so; each command that opens
# the secret key and finds it the ring's pair first writes the owner's strong
# key back, giving the ring keygen wrote, byte for byte.
cp "$work/erin-public.vwg" "$work/erin-public.keygen"
erin_fingerprint=$(fingerprint_of "$work/erin-public.keygen" 0)
key_file strip "$work/erin-public.vwg"
cp "$work/erin-public.vwg" "$work/erin-public.old"
size_is "$work/erin-public.old" 152 "a one-key ring without its trailer"
run erin list --fingerprints
printf '0\terin -- Owner (secret key protected)\t%s\tno strong key\n' "$(fingerprint_of "$work/erin-public.old" 0)" \
  >"$work/expected"
same "$work/out" "$work/expected" "the list of a ring without the own strong key"
run erin encrypt --to-index 0 --passphrase-file "$drive$work/pass1" "$drive$work/message"
expect 1 "encrypt with a wrong passphrase"
run erin encrypt --legacy --to-index 0 "$drive$work/message"
expect 2 "--legacy to the own key, whose strong key the ring lacks"
run erin export -o "$drive$work/erin.vwg"
expect 1 "export of the own key, whose strong key needs the passphrase"
grep -q -- '--passphrase-file FILE' "$work/err" || fail "export asks for no passphrase: $(cat "$work/err")"
[ -e "$work/erin.vwg" ] && fail "a failed export wrote its file"
same "$work/erin-public.vwg" "$work/erin-public.old" "failed commands leave the ring as it was"
run erin export --passphrase-file "$drive$work/pass2" -o "$drive$work/erin.vwg"
expect 0 "export of the own key with its strong key from the secret key"
same "$work/erin.vwg" "$work/erin-public.keygen" "the own key exported with its strong key"
same "$work/erin-public.vwg" "$work/erin-public.keygen" "the ring after an export that opened the secret key"
cp "$work/erin-public.old" "$work/erin-public.vwg"
since=$(date -u +%s)
run erin encrypt --to-index 0 --passphrase-file "$drive$work/pass2" "$drive$work/message"
expect 0 "encrypt with a ring without the own strong key"
LC_ALL=C grep -Eqx '\?VW3:[A-Za-z0-9+/]+={0,2}\.' "$work/out" || fail "a message to oneself is not ?VW3:"
same "$work/erin-public.vwg" "$work/erin-public.keygen" "the ring after an encryption"
cp "$work/out" "$work/to-erin"
cp "$work/erin-public.old" "$work/erin-public.vwg"
run erin decrypt --passphrase-file "$drive$work/pass2" "$drive$work/to-erin"
expect 0 "decrypt with a ring without the own strong key"
same "$work/out" "$work/message" "a message to oneself"
says_sender erin "$(echo "$erin_fingerprint" | tr -d ' ' | cut -c1-16)" "$since" "a message to oneself"
same "$work/erin-public.vwg" "$work/erin-public.keygen" "the ring after a decryption"
cp "$work/erin-public.old" "$work/erin-public.vwg"
run erin passwd --passphrase-file "$drive$work/pass2" --new-passphrase-file "$drive$work/pass1"
expect 0 "passwd with a ring without the own strong key"
same "$work/erin-public.vwg" "$work/erin-public.keygen" "the ring after passwd"
# passwd needs no ring: a missing one, or another pair's, is left alone.
cp "$work/bob-old.vwg" "$work/other-public.vwg"
for ring in none other; do
  [ "$ring" = none ] && passes=(pass1 pass2) || passes=(pass2 pass1)
  set +e
  "${runner[@]}" "$vwg" passwd --public "$drive$work/$ring-public.vwg" --secret "$drive$work/erin-secret.vwg" \
    --passphrase-file "$drive$work/${passes[0]}" --new-passphrase-file "$drive$work/${passes[1]}" >"$work/out" \
    2>"$work/err" <"$work/in"
  status=$?
  set -e
  expect 0 "passwd with the ring $ring"
done
[ -e "$work/none-public.vwg" ] && fail "passwd made a ring"
same "$work/other-public.vwg" "$work/bob-old.vwg" "passwd changed another pair's ring"

# A key without a strong key is exported as it is, and no export but the
# own key's when the ring lacks its strong key needs the secret key: here
# there is none.
cp "$work/olda-public.vwg" "$work/nosecret-public.vwg"
run nosecret export --index 1 -o "$drive$work/bob-again.vwg"
expect 0 "export of a key without a strong key"
same "$work/bob-again.vwg" "$work/bob-old.vwg" "the export of a key without a strong key"
run nosecret export -o "$drive$work/alice-again.vwg"
expect 0 "export of the own key from a ring that holds its strong key"
same "$work/alice-again.vwg" "$work/alice.vwg" "the own key exported from the ring alone"

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
  VWG=$vwg PUBLIC=$work/bob-public.vwg SECRET=$bob_secret IN=$work/strong OUT=$work/out terminal "$typed" -- \
    sh -c 'exec "$VWG" --public "$PUBLIC" --secret "$SECRET" decrypt <"$IN" >"$OUT"'
  [ "$status" = 0 ] || fail "decrypt with a passphrase from the terminal: $status, $(cat "$work/terminal")"
  same "$work/out" "$work/message" "message from standard input, passphrase from the terminal"
  cp "$bob_secret" "$work/bob-secret.sealed"
  terminal "$typed" 'one' 'other' -- "$vwg" "${bob_files[@]}" passwd
  [ "$status" = 1 ] && grep -q 'the two passphrases differ' "$work/terminal" ||
    fail "different entries: $status, $(cat "$work/terminal")"
  same "$bob_secret" "$work/bob-secret.sealed" "different entries write nothing"
  # What is typed follows the passphrase rule: Latin-1 from a terminal in
  # another code page is refused.
  terminal "$(printf 'T\374r')" -- "$vwg" "${bob_files[@]}" decrypt "$work/strong"
  [ "$status" = 1 ] && grep -qF "$not_text" "$work/terminal" || fail "Latin-1 typed: $status, $(cat "$work/terminal")"
  # Ctrl-Z at a prompt stops vwg with the terminal echoing for the shell
  # ("fg" shows); going on, echo is off again and the prompt shows anew.
  terminal '^Z' "$typed" '^Z' "$typed" "$typed" -- "$vwg" "${bob_files[@]}" passwd
  [ "$status" = 0 ] || fail "passwd with two stops: $status, $(cat "$work/terminal")"
  tr -d '\r' <"$work/terminal" >"$work/shown"
  [ "$(grep -c '\[stopped\]$' "$work/shown")" = 2 ] && [ "$(grep -cx fg "$work/shown")" = 2 ] ||
    fail "the terminal did not echo while vwg was stopped: $(cat "$work/shown")"
  [ "$(grep -c 'ssphrase.*: ' "$work/shown")" = 5 ] || fail "the prompts are not shown anew: $(cat "$work/shown")"
  grep -q 'zu' "$work/shown" && fail "the passphrase was shown after a stop: $(cat "$work/shown")"
  # While vwg waits for a passphrase it holds secrets: the passphrase's page
  # is locked, there is no core file, and it is not dumpable, so that its
  # /proc files are root's. As root the test runs vwg as nobody, since a
  # dumpable process of root's has root's /proc files anyway.
  probe=$(mktemp -d)
  trap 'rm -rf "$work" "$probe"' EXIT
  chmod 755 "$probe"
  cp "$work/bob-public.vwg" "$bob_secret" "$work/strong" "$probe"
  as=()
  if [ "$(id -u)" = 0 ]; then
    chown -R 65534:65534 "$probe"
    as=(setpriv --reuid=65534 --regid=65534 --clear-groups)
  fi
  terminal "@$work/proc" "$typed" -- "${as[@]}" "$vwg" --public "$probe/bob-public.vwg" \
    --secret "$probe/$(basename "$bob_secret")" decrypt "$probe/strong"
  [ "$status" = 0 ] || fail "decrypt as another user: $status, $(cat "$work/terminal")"
  [ "$(awk '/^Uid:/ {print $3}' "$work/proc")" != 0 ] && grep -qx 'owner 0' "$work/proc" ||
    fail "vwg is dumpable at the prompt: $(grep -E '^(owner|Uid)' "$work/proc")"
  grep -Eq '^Max core file size +0 +0 ' "$work/proc" || fail "vwg may dump core: $(grep core "$work/proc")"
  # AddressSanitizer answers mlock with success and locks nothing.
  [ -n "${VWG_SANITIZED:-}" ] || [ "$(awk '/^VmLck:/ {print $2}' "$work/proc")" -ge 4 ] ||
    fail "nothing locked: $(grep VmLck "$work/proc")"
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
