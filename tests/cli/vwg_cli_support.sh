# Sourced by the vwg_cli_*_test.sh scripts, each run as SCRIPT VWG [RUNNER...]:
# the real program, natively or, through RUNNER (for instance
# scripts/wine-run.sh DIR), as a Windows build whose paths get a drive
# letter. Two users, alice and bob, each with key files of their own, get
# keys and exchange them here; each script then goes on from there in a
# folder of its own, so that the three run side by side. Output goes to
# files only: under Wine a pipe can stay open after the program has ended.
# Key files are taken apart and built by key_file.py.
set -euo pipefail
vwg=$1
shift
runner=("$@")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
# The interpreter the build found (tests/CMakeLists.txt).
python=${VWG_PYTHON3:-python3}

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
key_file() { "$python" "$(dirname "$0")/key_file.py" "$@"; }
fingerprint_of() { key_file fingerprint "$1" "$2"; }  # fingerprint_of FILE INDEX
key_id_of() {  # key_id_of FILE INDEX: the fingerprint's first 16 hex digits
  fingerprint_of "$1" "$2" | tr -d ' ' | cut -c1-16
}
# old_export NAME: $work/NAME.vwg as a program from before strong keys
# exports it, in $work/NAME-old.vwg.
old_export() { cp "$work/$1.vwg" "$work/$1-old.vwg" && key_file strip "$work/$1-old.vwg"; }
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


# Key generation and exchange, and a message to send: where every script
# starts.
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

# A message with every kind of byte, some not UTF-8.
printf 'Hello, Bob!\r\n\000\001\377 tab\tend \320\237\321\200\320\270 \360\237\221\213\n' >"$work/message"
for i in $(seq 6); do printf 'line %d of a longer message\n' "$i" >>"$work/message"; done

# finish: the script's verdict.
finish() {
  if [ "$failures" -gt 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
  fi
  echo "vwg end to end: all checks passed"
}
