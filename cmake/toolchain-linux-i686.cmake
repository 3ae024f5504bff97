# Cross-compiles the planet's stream check for 32-bit x86 Linux with Debian's i686
# compilers (package g++-i686-linux-gnu), to run under qemu-i386 (package qemu-user):
# the build machine's kernel cannot run 32-bit programs, and the 32-bit Windows build
# cannot run under Wine here, so this is where the 32-bit x86 planet code runs.
#   cmake --preset linux-i686
# The top CMakeLists gives every 32-bit x86 build -msse2 -mfpmath=sse, as the win32
# build has.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER i686-linux-gnu-g++)

set(CMAKE_FIND_ROOT_PATH /usr/i686-linux-gnu)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# qemu-i386 runs static programs only (there is no i386 loader or libc here).
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-i386)
