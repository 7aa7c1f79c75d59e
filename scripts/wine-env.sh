# Sourced: the Wine environment of one state folder ($1), shared by
# wine-session.sh and wine-run.sh: its prefix, its width (32 or 64, recorded
# by `wine-session.sh start`) and its virtual display.
vwg_wine_dir=$1
. "$(dirname "${BASH_SOURCE[0]}")/wine-loader.sh" "$(cat "$vwg_wine_dir/width" 2>/dev/null || echo 32)"
export WINEPREFIX="$vwg_wine_dir/prefix"
if [ -f "$vwg_wine_dir/display" ]; then
  DISPLAY=$(cat "$vwg_wine_dir/display")
  export DISPLAY
fi
