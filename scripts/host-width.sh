# Sourced: which Windows build this host can run under Wine. Some hosts'
# kernels refuse every 32-bit program, Wine's 32-bit loader included; that is
# found out by starting one (never guessed from the kernel's name), once.
#   host_width      32 when 32-bit programs start here, else 64
#   windows_build   build/windows (32-bit) or build/windows64
#   windows_preset  windows or windows64
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  host_width=32 windows_build=build/windows windows_preset=windows
else
  host_width=64 windows_build=build/windows64 windows_preset=windows64
fi

# One line for scripts that run the Windows programs: which build they run.
say_host_width() {
  if [ "$host_width" = 32 ]; then
    echo "This host starts 32-bit programs: running the 32-bit Windows build."
  else
    echo "This host cannot start 32-bit programs: running the 64-bit Windows build under wine64 instead."
  fi
}
