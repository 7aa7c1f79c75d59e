# Sourced with a width (32 or 64): the Wine environment for programs of that
# width, without the prefix. 32-bit programs run in a win32 prefix with
# Debian's `wine`; 64-bit ones in a win64 prefix with Debian's 64-bit loader
# and server, called by their paths (there `wine` would pick the 32-bit
# loader, which some hosts cannot start at all).
#   vwg_wine, vwg_wineserver   the loader and server to call
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ "$1" = 64 ]; then
  export WINEARCH=win64
  export WINELOADER=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver64
  vwg_wine=$WINELOADER
  vwg_wineserver=$WINESERVER
else
  export WINEARCH=win32
  vwg_wine=wine
  vwg_wineserver=wineserver
fi
