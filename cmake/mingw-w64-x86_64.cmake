# Cross-build for 64-bit Windows with Debian's mingw-w64 (posix threads, so
# that std::thread and std::mutex work). Use:
#   cmake -S . -B build-mingw -G Ninja \
#     -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# Tests then run under Wine (scripts/lib/test-wine.sh).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TQV_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TQV_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TQV_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TQV_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TQV_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# ctest (and gtest_discover_tests at test time) start the .exe files through
# Wine. Debian puts the 64-bit loader outside PATH.
find_program(TQV_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(TQV_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TQV_WINE64})
endif()
