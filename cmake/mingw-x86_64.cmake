# 64-bit Windows: a compile check only; users run the 32-bit build, and its
# tests run under 32-bit Wine. The emulator is there for a developer who runs
# these programs by hand in a 64-bit prefix. It compiles the tests too, so it
# takes the posix thread model.
set(VORZIK_MINGW_THREADS posix)
set(VORZIK_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

find_program(VORZIK_WINE64 wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(VORZIK_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VORZIK_WINE64})
endif()
