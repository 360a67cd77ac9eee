# Cross-compiles the x86-64 twin of the Windows programs and their tests with mingw-w64.
# The twin is a test vehicle for hosts that cannot execute 32-bit code (64-bit Wine runs
# it there); it is never shipped. Same sources, same flags as the 32-bit build.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
