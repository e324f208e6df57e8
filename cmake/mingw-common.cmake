# Shared part of the MinGW-w64 toolchains; the including file sets
# VORZIK_MINGW_TRIPLE and CMAKE_SYSTEM_PROCESSOR first.
set(CMAKE_SYSTEM_NAME Windows)

# The posix thread model compilers, so std::thread and std::mutex exist.
set(CMAKE_C_COMPILER ${VORZIK_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VORZIK_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VORZIK_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VORZIK_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
# Only MinGW libraries and packages: the host's Qt and FFmpeg must not be found.
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The runtime goes into every executable, so vorzik.exe needs no DLL beside it:
# libgcc and libstdc++ statically, and winpthread (which the posix model needs)
# through the fully static link.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# The release carries no symbols; the size users download is the program.
set(CMAKE_EXE_LINKER_FLAGS_MINSIZEREL_INIT "-s")
