# The mingw-w64 cross compilers for CMAKE_SYSTEM_PROCESSOR, included by the toolchain file of
# each architecture. The -posix compilers are used for everything: GoogleTest needs their
# std::mutex, and the programs come out the same size with them.
set(CMAKE_SYSTEM_NAME Windows)
set(ZELK_MINGW ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)
set(CMAKE_C_COMPILER ${ZELK_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZELK_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${ZELK_MINGW}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ZELK_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
