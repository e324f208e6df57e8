# 32-bit Windows, the platform the program's users run: the release, with the
# win32 thread model. Its tests (mingw-i686-posix.cmake) run here under 32-bit
# Wine (wine32:i386), in a 32-bit prefix.
set(VORZIK_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# The processor floor the toolchain has always given, written down so a newer
# toolchain cannot raise it: Pentium Pro instructions and x87 maths, no SSE2.
string(APPEND CMAKE_C_FLAGS_INIT " -march=pentiumpro -mfpmath=387")
string(APPEND CMAKE_CXX_FLAGS_INIT " -march=pentiumpro -mfpmath=387")

find_program(VORZIK_WINE wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(VORZIK_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VORZIK_WINE})
endif()
