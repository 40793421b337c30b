# Cross-build for 64-bit Windows with Debian's MinGW-w64 (posix threads: std::thread
# and std::mutex need them). The programs run here through Wine:
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DTOLMIRA_CORE_ONLY=ON
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TOLMIRA_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TOLMIRA_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOLMIRA_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TOLMIRA_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TOLMIRA_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The compiler's own runtime DLLs would have to be found next to each program under
# Wine; linked in statically, every .exe runs on its own.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

find_program(TOLMIRA_WINE NAMES wine64 wine)
if(TOLMIRA_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TOLMIRA_WINE})
endif()
