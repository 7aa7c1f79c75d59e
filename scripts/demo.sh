#!/usr/bin/env bash
# demo.sh: Alice and Bob exchange one encrypted message through the
# look-alike messenger, on a virtual display, with the tray program doing the
# work. Makes the two users' keys with vwg, runs the demo's driver under Wine
# in a session of its own, marks the added button on each screenshot (Wine
# does not paint a button that one process puts into another's dialog) and
# prints the texts. Pictures: build/windows/demo/*.png (build/windows64/demo
# on a host that cannot start 32-bit programs).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/host-width.sh
say_host_width
out=$PWD/$windows_build/demo
vwg=build/native/cli/vwg
winpath() { echo "Z:${1//\//\\}"; }

rm -rf "$out/alice" "$out/bob" "$out"/*.png
mkdir -p "$out/alice" "$out/bob"
for user in alice bob; do
  id=${user^}
  keys=(--public "$out/$user/public.vwg" --secret "$out/$user/secret.vwg")
  "$vwg" keygen --id "$id" "${keys[@]}" >/dev/null
  "$vwg" export -o "$out/$user.vwg" "${keys[@]}" >/dev/null
done
"$vwg" import "$out/bob.vwg" --public "$out/alice/public.vwg" --secret "$out/alice/secret.vwg" >/dev/null
"$vwg" import "$out/alice.vwg" --public "$out/bob/public.vwg" --secret "$out/bob/secret.vwg" >/dev/null

session=$out/wine
scripts/wine-session.sh start "$session" "$host_width"
trap 'scripts/wine-session.sh stop "$session"' EXIT
echo "Running the demo on a virtual display..."
status=0
scripts/wine-run.sh "$session" "$windows_build/tests/demo/demo.exe" \
  "$(winpath "$PWD/$windows_build/app/vaultwing.exe")" \
  "$(winpath "$PWD/$windows_build/tests/lookalike/messenger.exe")" \
  "$(winpath "$out/alice/public.vwg")" "$(winpath "$out/alice/secret.vwg")" \
  "$(winpath "$out/bob/public.vwg")" "$(winpath "$out/bob/secret.vwg")" \
  "$(winpath "$out")" | tr -d '\r' >"$out/demo.log" || status=$?

while read -r _ file x y w h; do
  convert "$out/$file" -fill none -stroke '#ff3030' -strokewidth 2 \
    -draw "rectangle $((x - 2)),$((y - 2)) $((x + w + 1)),$((y + h + 1))" "$out/$file"
done < <(grep '^mark ' "$out/demo.log")
grep -av '^mark ' "$out/demo.log" || true
ls "$out"/*.png 2>/dev/null | sed 's/^/screenshot: /'
exit $status
