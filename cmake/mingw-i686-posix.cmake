# The 32-bit build with the tests: as mingw-i686.cmake, with the posix thread
# model, as GoogleTest needs std::mutex. Its vorzik.exe links winpthread, which
# Windows XP cannot load; the program users get is built by mingw-i686.cmake.
set(VORZIK_MINGW_THREADS posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-i686.cmake)
