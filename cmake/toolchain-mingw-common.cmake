# The part of the mingw-w64 toolchains that both Windows builds share; the including
# file sets _mingw (the target triplet) and CMAKE_SYSTEM_PROCESSOR first.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${_mingw}-windres)

# Libraries and headers come from the cross sysroot only; programs run on the build
# machine.
set(CMAKE_FIND_ROOT_PATH /usr/${_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Each .exe stands alone: libgcc, libstdc++ and winpthread are linked in statically,
# so nothing but system DLLs (kernel32, user32, gdi32, opengl32, glu32, msvcrt) is
# needed beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Executables are GUI-subsystem programs (-mwindows): the shell's entry is WinMain and
# on Windows no console window should open beside the full-screen window. Standard
# output still works where it is connected: under Wine, a GUI program started from a
# terminal, a pipe or a file writes its log lines there like a console program does.
# A program that wants a console sets WIN32_EXECUTABLE OFF on its target.
set(CMAKE_WIN32_EXECUTABLE ON)
