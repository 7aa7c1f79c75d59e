# Cross build for 64-bit Windows with MinGW-w64: the same sources, for hosts
# that cannot start 32-bit programs (their tests run under wine64).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(triple x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
