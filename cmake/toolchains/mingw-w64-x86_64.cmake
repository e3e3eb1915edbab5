# Cross-build for Windows with Debian's MinGW-w64 (x86_64): compilers, resource
# compiler, and the target root searched for libraries.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOV_MINGW_TRIPLET x86_64-w64-mingw32)

# The posix thread model: the standard library's threads, mutexes and
# call_once exist only there in this compiler version.
set(CMAKE_C_COMPILER ${TOV_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOV_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TOV_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TOV_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
