#!/usr/bin/env bash
# vwg_cli_messages_test.sh VWG [RUNNER...]: messages in every format between alice and bob,
# and between olda and oldb, whose rings hold each other's keys without
# their strong keys; fingerprints and ring edits.
. "$(dirname "$0")/vwg_cli_support.sh"

# alice's key as a program from before strong keys exports it.
old_export alice

# A message with every kind of byte (some not UTF-8), to bob and back: one
# line of ASCII, ?VW3: between two keys with strong keys, decrypted without
# naming its sender, byte for byte; then the sender, by the user ID in the
# reader's ring and the ID of the strong key, and when it was written.
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
  "$python" -c '
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

finish
