# Cross-compiles the Windows 32-bit build with Debian's mingw-w64 posix-thread
# compilers (packages g++-mingw-w64-i686-posix).
#   cmake --preset win32   (or -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake)
# The top CMakeLists keys its 32-bit x86 flags (-msse2 -mfpmath=sse) on this name.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(_mingw i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
