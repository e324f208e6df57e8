# 64-bit Windows: the build whose programs run here under wine64 (Debian has no
# 32-bit Wine), so the tests run through the emulator.
set(VORZIK_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

find_program(VORZIK_WINE64 wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(VORZIK_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VORZIK_WINE64})
endif()
