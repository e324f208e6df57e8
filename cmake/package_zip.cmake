# The release for users: Vorzik-<version>-win32.zip, holding vorzik.exe, a
# README.txt for them and the licence as COPYING.txt
# (`cmake --build --preset windows-i686 --target package`).
# The version is the project's, the one the executable's version record shows
# as file and product version.
if(NOT TARGET vorzik)
  return()
endif()

# Japanese and English in UTF-8 with a byte-order mark and CR LF line ends, so
# Notepad on a Japanese system shows it as written.
set(VORZIK_ZIP_README_TEMPLATE "${CMAKE_CURRENT_LIST_DIR}/zip_readme.txt.in")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${VORZIK_ZIP_README_TEMPLATE}")
file(READ "${VORZIK_ZIP_README_TEMPLATE}" readme)
string(ASCII 239 187 191 byteOrderMark)
file(CONFIGURE OUTPUT "${CMAKE_BINARY_DIR}/package/README.txt" CONTENT "${byteOrderMark}${readme}"
     @ONLY NEWLINE_STYLE CRLF)

# The licence travels with the program, with CR LF line ends for Notepad on XP.
file(READ "${PROJECT_SOURCE_DIR}/COPYING" licence)
string(REPLACE "\n" "\r\n" licence "${licence}")
file(WRITE "${CMAKE_BINARY_DIR}/package/COPYING.txt" "${licence}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/COPYING")

install(TARGETS vorzik RUNTIME DESTINATION .)
install(FILES "${CMAKE_BINARY_DIR}/package/README.txt" "${CMAKE_BINARY_DIR}/package/COPYING.txt"
        DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Vorzik)
set(CPACK_PACKAGE_VENDOR Vorzik)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME "Vorzik-${PROJECT_VERSION}-win32")
# Unpacked, the files stand in one folder named like the zip.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
include(CPack)
