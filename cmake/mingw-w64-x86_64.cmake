# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 compilers. The -posix variants
# give std::thread and std::mutex, which Qt and the sizing engine need.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZEMRA_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZEMRA_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZEMRA_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${ZEMRA_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ZEMRA_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
