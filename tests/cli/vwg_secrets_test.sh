#!/usr/bin/env bash
# vwg_secrets_test.sh VWG: vwg's failures leave no copy of a passphrase, the
# secret scalar or a plain text in its memory. Each run is looked at from
# inside, by the test hook at the end of vwg's main (VWG_TEST_SECRETS_FILE:
# the secrets in hexadecimal, one a line), which says what it found and
# ends vwg with status 99 when it finds one; a run that ends anywhere but
# at the end of main, past the holders that wipe, never gets to say
# anything. The scalar is looked for as the secret key file holds it, 464
# words of one bit each, which is also how vwg holds it in memory.
#
# Each secret is looked for without its first 32 bytes: where the heap
# keeps its own records in a block it takes back, a secret freed unwiped
# loses its start, and would otherwise go unseen.
set -euo pipefail
vwg=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail=0

hex() { od -An -v -tx1 "$@" | tr -d ' \n'; }
# The text after its first 32 bytes, in hexadecimal.
tail_hex() { printf '%s' "${1:32}" | hex; }
# A text that nothing but this run holds.
unique() { printf '%s-%s' "$1" "$(head -c 24 /dev/urandom | hex)"; }

# Runs vwg with a limit of 0 bytes on the files it writes: every write of a
# key file fails ("File too large"), and the signal for it is ignored.
no_room() { trap '' XFSZ; ulimit -f 0; exec "$@"; }

# leaves_none NAME STATUS TEXT OUT SECRET... -- COMMAND...: COMMAND, a run
# of vwg with its standard output to OUT, must end with STATUS, say TEXT on
# standard error, and leave none of the SECRETs in its memory, as the hook
# says at the end of main.
leaves_none() {
  local name=$1 want=$2 text=$3 out=$4
  shift 4
  : >"$work/patterns"
  while [ "$1" != -- ]; do
    echo "$1" >>"$work/patterns"
    shift
  done
  shift
  local status=0 err count
  count=$(grep -c . "$work/patterns")
  err=$(VWG_TEST_SECRETS_FILE="$work/patterns" "$@" 2>&1 >"$out") || status=$?
  if [ "$status" != "$want" ] || ! grep -qF -- "$text" <<<"$err"; then
    echo "FAIL: $name: status $status, expected $want with \"$text\"; stderr: $(head -c 600 <<<"$err")" >&2
    fail=1
  elif [ "$want" != 99 ] && ! grep -qE "^vwg: test hook: none of $count patterns in [0-9]+ mappings$" <<<"$err"; then
    echo "FAIL: $name: vwg did not end at the end of main, past the wipes; stderr: $(head -c 600 <<<"$err")" >&2
    fail=1
  fi
}

alice=(--public "$work/alice.pub" --secret "$work/alice.sec")
bob=(--public "$work/bob.pub" --secret "$work/bob.sec")
"$vwg" keygen --id alice "${alice[@]}" >/dev/null
"$vwg" keygen --id bob "${bob[@]}" >/dev/null
scalar=$(hex -j 42 -N 896 "$work/alice.sec")
[ ${#scalar} = 1792 ] || { echo "FAIL: the secret key file is not as expected" >&2; exit 1; }
passphrase=$(unique passphrase)
new_passphrase=$(unique new-passphrase)
wrong_passphrase=$(unique wrong-passphrase)
echo "$passphrase" >"$work/pass"
echo "$new_passphrase" >"$work/new-pass"
echo "$wrong_passphrase" >"$work/wrong-pass"
"$vwg" passwd "${alice[@]}" --new-passphrase-file "$work/pass" >/dev/null
"$vwg" export "${alice[@]}" -o "$work/alice.key"
"$vwg" export "${bob[@]}" -o "$work/bob.key"
"$vwg" import "${alice[@]}" "$work/bob.key" >/dev/null 2>&1
"$vwg" import "${bob[@]}" "$work/alice.key" >/dev/null 2>&1
plain=$(unique plain-text)
printf '%s' "$plain" >"$work/plain"
"$vwg" encrypt --to alice "${bob[@]}" "$work/plain" >"$work/message"
rm "$work/plain"
S=$(tail_hex "$passphrase") N=$(tail_hex "$new_passphrase") W=$(tail_hex "$wrong_passphrase")
P=$(tail_hex "$plain")
pass=(--passphrase-file "$work/pass")

# The hook itself: a text that is certainly there (in the arguments) is
# found, and a run that succeeds leaves nothing.
leaves_none "the hook finds what is there" 99 "test hook: pattern 1 found" /dev/null \
  "$(printf '%s' "$work/alice.pub" | hex)" -- "$vwg" list "${alice[@]}"
leaves_none "a decryption that succeeds" 0 "vwg: from bob" "$work/out" \
  "$S" "$scalar" "$P" -- "$vwg" decrypt "${alice[@]}" "${pass[@]}" "$work/message"
grep -qxF "$plain" "$work/out" || { echo "FAIL: the message did not come through" >&2; fail=1; }

# The failures, each after vwg has read what it looks for.
leaves_none "a wrong passphrase" 1 "Wrong passphrase" /dev/null \
  "$W" "$scalar" -- "$vwg" decrypt "${alice[@]}" --passphrase-file "$work/wrong-pass" "$work/message"
leaves_none "the ring of another pair" 1 "$work/alice.sec" /dev/null \
  "$S" "$scalar" -- "$vwg" encrypt --to-index 0 --public "$work/bob.pub" --secret "$work/alice.sec" "${pass[@]}" \
  "$work/message"
leaves_none "an output that takes nothing" 1 "No space left on device" /dev/full \
  "$S" "$scalar" "$P" -- "$vwg" decrypt "${alice[@]}" "${pass[@]}" "$work/message"
leaves_none "a new passphrase file that cannot be read" 1 "$work/missing" /dev/null \
  "$S" "$scalar" -- "$vwg" passwd "${alice[@]}" "${pass[@]}" --new-passphrase-file "$work/missing"
leaves_none "a secret key file that cannot be written" 1 "File too large" /dev/null \
  "$S" "$N" "$scalar" -- no_room "$vwg" passwd "${alice[@]}" "${pass[@]}" --new-passphrase-file "$work/new-pass"
leaves_none "new key files that cannot be written" 1 "File too large" /dev/null \
  "$N" -- no_room "$vwg" keygen --id carol --public "$work/carol.pub" --secret "$work/carol.sec" \
  --new-passphrase-file "$work/new-pass"

[ "$fail" = 0 ] && echo "vwg_secrets: passed"
exit "$fail"
