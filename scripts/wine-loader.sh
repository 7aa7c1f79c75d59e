# Sourced with a width (32 or 64): the Wine environment for programs of that
# width, without the prefix. 32-bit programs run in a win32 prefix with
# Debian's `wine`; 64-bit ones in a win64 prefix with Debian's 64-bit loader
# and server, called by their paths (there `wine` would pick the 32-bit
# loader, which some hosts cannot start at all).
#   vwg_wine         the command that starts a program (an array, over the
#                    loader vwg_loader)
#   vwg_wineserver   the server to call
# A program starts with the address space's randomisation off, and the
# programs it starts inherit that. Debian's Wine has no preloader to hold
# Wine's fixed addresses free, and with the address space randomised the
# page where Wine maps the shared user data was now and then already taken:
# the program then ended with status 1 before it ran ("failed to map the
# shared user data: c0000018", which Wine says only with its err messages
# on).
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ "$1" = 64 ]; then
  export WINEARCH=win64
  export WINELOADER=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver64
  vwg_loader=$WINELOADER
  vwg_wineserver=$WINESERVER
else
  export WINEARCH=win32
  vwg_loader=wine
  vwg_wineserver=wineserver
fi
vwg_wine=(setarch "$(uname -m)" --addr-no-randomize "$vwg_loader")
