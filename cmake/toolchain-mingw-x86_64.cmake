# Cross-compiles the Windows 64-bit build with Debian's mingw-w64 posix-thread
# compilers (packages g++-mingw-w64-x86-64-posix).
#   cmake --preset win64   (or -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-x86_64.cmake)
# The top CMakeLists keys its 32-bit x86 flags (-msse2 -mfpmath=sse) on this name.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(_mingw x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
