# Shared part of the MinGW-w64 toolchains; the including file sets
# VORZIK_MINGW_TRIPLE and CMAKE_SYSTEM_PROCESSOR first, and may set
# VORZIK_MINGW_THREADS.
set(CMAKE_SYSTEM_NAME Windows)

# The program users run is built with the win32 thread model compilers: their
# runtime is built on the system's own threads, so nothing links winpthread,
# whose clock calls GetTickCount64, a function Windows XP does not have. The
# program needs no std::thread. Builds with the tests take the posix model:
# GoogleTest needs std::mutex, which only that model's runtime has here.
if(NOT VORZIK_MINGW_THREADS)
  set(VORZIK_MINGW_THREADS win32)
endif()
set(CMAKE_C_COMPILER ${VORZIK_MINGW_TRIPLE}-gcc-${VORZIK_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${VORZIK_MINGW_TRIPLE}-g++-${VORZIK_MINGW_THREADS})
set(CMAKE_RC_COMPILER ${VORZIK_MINGW_TRIPLE}-windres)

# Windows XP (NT 5.1) is the oldest system the program serves: the headers
# offer nothing newer, so a newer call fails to compile instead of failing to
# load on a user's machine. _WIN32_IE 0x0600 is XP's common controls.
set(VORZIK_WINDOWS_FLOOR "-D_WIN32_WINNT=0x0501 -DWINVER=0x0501 -D_WIN32_IE=0x0600")
set(CMAKE_C_FLAGS_INIT "${VORZIK_WINDOWS_FLOOR}")
set(CMAKE_CXX_FLAGS_INIT "${VORZIK_WINDOWS_FLOOR}")
set(CMAKE_RC_FLAGS_INIT "${VORZIK_WINDOWS_FLOOR}")

set(CMAKE_FIND_ROOT_PATH /usr/${VORZIK_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
# Only MinGW libraries and packages: the host's Qt and FFmpeg must not be found.
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The runtime goes into every executable, so vorzik.exe needs no DLL beside it:
# libgcc and libstdc++ statically, and with the posix model winpthread, through
# the fully static link.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# The release carries no symbols; the size users download is the program.
set(CMAKE_EXE_LINKER_FLAGS_MINSIZEREL_INIT "-s")
