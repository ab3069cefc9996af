# Cross build for 64-bit Windows with Debian's mingw-w64 compilers (the POSIX thread model,
# for std::thread and std::mutex). Tests and benchmarks run under Wine.
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#         -DZORBEL_WINDOWS_DEPS=<prefix from scripts/build-windows-deps.sh>
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ZORBEL_MINGW_HOST x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZORBEL_MINGW_HOST}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZORBEL_MINGW_HOST}-g++-posix)
set(CMAKE_RC_COMPILER ${ZORBEL_MINGW_HOST}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ZORBEL_MINGW_HOST} ${ZORBEL_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Wine quietly: no debug channels, and no offer to install Mono or Gecko into a fresh prefix.
find_program(ZORBEL_WINE NAMES wine wine64)
if(ZORBEL_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR env WINEDEBUG=-all "WINEDLLOVERRIDES=mscoree,mshtml=" ${ZORBEL_WINE})
endif()
