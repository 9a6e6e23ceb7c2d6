# Cross-compiles the 32-bit Windows DLL with MinGW-w64 (posix threads, so the
# standard mutexes and threads work) and runs the programs it builds under
# Wine, so CTest runs the Windows test suite on this machine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# A static runtime: the DLL and the programs need no MinGW runtime DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

find_program(SUB_WINE wine REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_COMMAND};-E;env;WINEDEBUG=-all;${SUB_WINE}")
# Wine shows the build machine's root folder as drive Z:, so the path /a/b
# is Z:/a/b to the programs it runs: the tests hand them paths so.
set(SUB_TARGET_PATH_PREFIX "Z:")
