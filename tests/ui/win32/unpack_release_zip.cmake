# Unpacks the release zip into a fresh folder for the program test, and checks
# what a user finds in it: one folder named like the zip, holding vorzik.exe,
# README.txt and the licence, both with CR LF line ends only, the README in
# UTF-8 with a byte-order mark, naming the tools, the work folder, the version
# and the oldest Windows.
#   cmake -DZIP=... -DDESTINATION=... -DVERSION=... -P unpack_release_zip.cmake
file(REMOVE_RECURSE "${DESTINATION}")
file(ARCHIVE_EXTRACT INPUT "${ZIP}" DESTINATION "${DESTINATION}")

get_filename_component(top "${ZIP}" NAME_WLE)
file(GLOB_RECURSE found LIST_DIRECTORIES false RELATIVE "${DESTINATION}" "${DESTINATION}/*")
list(SORT found)
if(NOT found STREQUAL "${top}/COPYING.txt;${top}/README.txt;${top}/vorzik.exe")
  message(FATAL_ERROR "${ZIP} holds: ${found}")
endif()
set(licence "${DESTINATION}/${top}/COPYING.txt")
file(READ "${licence}" text)
if(NOT text MATCHES "^ +GNU GENERAL PUBLIC LICENSE\n +Version 3, 29 June 2007\n")
  message(FATAL_ERROR "${licence} is not the GPL version 3")
endif()

set(readme "${DESTINATION}/${top}/README.txt")
file(READ "${readme}" start LIMIT 3 HEX)
if(NOT start STREQUAL "efbbbf")
  message(FATAL_ERROR "${readme} does not start with a UTF-8 byte-order mark")
endif()
# Bytes as hex pairs with a blank after each; file(READ) as text drops CRs.
foreach(file "${readme}" "${licence}")
  file(READ "${file}" hex HEX)
  string(REGEX REPLACE "(..)" "\\1 " bytes "${hex}")
  string(REPLACE "0d 0a " "" bare "${bytes}")
  if(bare MATCHES "(^| )(0d|0a) ")
    message(FATAL_ERROR "${file} has a line end other than CR LF")
  endif()
endforeach()
file(READ "${readme}" text)
foreach(word BeSweet.exe BS_NoiseGate.dll ql7rzfir.exe ql7rziir.exe normalize.exe vorzik.exe
             "\"EtcEnc\"" "「EtcEnc」" "Version: ${VERSION}" "バージョン: ${VERSION}"
             "GNU General Public License, version 3" "GPL）バージョン 3"
             "Windows XP SP3 以降" "Windows XP SP3 or later" COPYING.txt)
  string(FIND "${text}" "${word}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${readme} does not mention ${word}")
  endif()
endforeach()
