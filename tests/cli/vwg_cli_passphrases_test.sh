#!/usr/bin/env bash
# vwg_cli_passphrases_test.sh VWG [RUNNER...]: passphrases from files and from a terminal,
# protected files of other round counts, links, and rings that lack the own
# strong key.
. "$(dirname "$0")/vwg_cli_support.sh"

# What the messages have left by here: a strong message from alice to bob,
# bob's key without its strong key, alice's ring without bob's strong key,
# and bob's ring cut to two entries under new names.
run alice encrypt --to bob-at-work "$drive$work/message"
expect 0 "encrypt for bob"
cp "$work/out" "$work/strong"
old_export bob
cp "$alice_public" "$work/olda-public.vwg"
key_file drop-strong "$work/olda-public.vwg" 1
run bob remove --index 1
run bob rename --index 0 --id "Bob (UIN 1234567)"
run bob rename --index 1 --id carol-alice
expect 0 "bob's ring edits"

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
    "$python" "$(dirname "$0")/on_terminal.py" "$work/terminal" "$@"
    status=$?
    set -e
  }
  typed='T\303\274r zu \342\202\254'
  typed=$(printf "$typed")
  bob_files=(--public "$work/bob-public.vwg" --secret "$bob_secret")
  terminal "$typed" "$typed" -- "$vwg" "${bob_files[@]}" passwd
  [ "$status" = 0 ] || fail "passwd on a terminal: $status, $(cat "$work/terminal")"
  grep -q 'New passphrase: ' "$work/terminal" || fail "no prompt: $(cat "$work/terminal")"
  grep -q ' zu ' "$work/terminal" && fail "the passphrase was shown: $(cat "$work/terminal")"
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
  grep -q ' zu ' "$work/shown" && fail "the passphrase was shown after a stop: $(cat "$work/shown")"
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

finish
