# Sourced: the Wine environment of one state folder ($1), shared by
# wine-session.sh and wine-run.sh.
vwg_wine_dir=$1
export WINEPREFIX="$vwg_wine_dir/prefix"
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ -f "$vwg_wine_dir/display" ]; then
  DISPLAY=$(cat "$vwg_wine_dir/display")
  export DISPLAY
fi
