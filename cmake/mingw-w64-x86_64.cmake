# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (posix threads,
# so std::thread and std::mutex work), every program linked statically: no
# DLL is needed beside the .exe files but those Windows itself has.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PELKO_MINGW_TRIPLE x86_64-w64-mingw32)
# The -posix names, not the alternatives: those may point at the win32
# thread model where both are installed.
set(CMAKE_C_COMPILER ${PELKO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PELKO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${PELKO_MINGW_TRIPLE}-windres)

# Libraries and headers only from the Windows side: the mingw-w64 tree, and
# whatever prefixes the build adds to this list (libzip's, built by
# scripts/windows/libzip.sh). Programs (pkg-config, wine) from the host.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${PELKO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# libgcc, libstdc++ and winpthread linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
