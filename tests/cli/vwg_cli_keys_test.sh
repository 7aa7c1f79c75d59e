#!/usr/bin/env bash
# vwg_cli_keys_test.sh VWG [RUNNER...]: vwg's imports weighed against the ring, user IDs,
# and wrong input of every kind, with nothing written.
. "$(dirname "$0")/vwg_cli_support.sh"

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
old_export alice
old_export bob
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
old_export henry
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


finish
