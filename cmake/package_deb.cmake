# The Debian package: `cmake --build --preset release --target package` writes
# vorzik_<version>+deb<release>_<arch>.deb into the build folder. Its Depends
# line comes from dpkg-shlibdeps, so it names exactly the libraries the
# executables link.
include(GNUInstallDirs)

# A native package: the version is the project's, the changelog our own.
file(STRINGS "${PROJECT_SOURCE_DIR}/packaging/changelog" vorzik_changelog_head LIMIT_COUNT 1)
if(NOT vorzik_changelog_head MATCHES "^vorzik \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog: the newest entry is not version ${PROJECT_VERSION}")
endif()

set(vorzik_doc_dir "${CMAKE_INSTALL_DATAROOTDIR}/doc/vorzik")
set(vorzik_deb_staging "${CMAKE_BINARY_DIR}/install-staging/doc")
file(MAKE_DIRECTORY "${vorzik_deb_staging}")
# The changelog and the copyright file take the contact and the site from
# the top CMakeLists.txt, where they are set once.
configure_file("${PROJECT_SOURCE_DIR}/packaging/changelog" "${vorzik_deb_staging}/changelog" @ONLY)
configure_file("${PROJECT_SOURCE_DIR}/packaging/copyright" "${vorzik_deb_staging}/copyright" @ONLY)
execute_process(COMMAND gzip -9nc INPUT_FILE "${vorzik_deb_staging}/changelog"
                OUTPUT_FILE "${vorzik_deb_staging}/changelog.gz" COMMAND_ERROR_IS_FATAL ANY)
install(FILES "${vorzik_deb_staging}/copyright" "${vorzik_deb_staging}/changelog.gz"
        DESTINATION "${vorzik_doc_dir}")
install(FILES "${PROJECT_SOURCE_DIR}/packaging/lintian-overrides"
        DESTINATION "${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides" RENAME vorzik)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vorzik)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "The Vorzik developers")
set(CPACK_PACKAGE_CONTACT "${VORZIK_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${PROJECT_HOMEPAGE_URL}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "front end that restores the bass of PC-QL7RZ/PCI recordings")
# CPack indents the lines and marks the empty one itself.
set(CPACK_PACKAGE_DESCRIPTION
    "Vorzik is a single-window program for owners of the PC-QL7RZ/PCI sound
board, whose recordings lack bass. Pick a folder; every MP2, MPA and WAV
file in it is decoded, bass-corrected by a low-shelf filter (FIR or IIR),
normalised and encoded to MP2, AC3 or Ogg Vorbis into the work folder
EtcEnc. The computer can be shut down or hibernated when the batch ends.

The package also holds vorzik-convert, which converts one file the same
way from the command line, and the four conversion tools both run.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)

# One package per Debian release, built in that release (Debian 13 through
# scripts/in-debian.sh), its version naming the release as backports do:
# vorzik_1.1.1+deb13_amd64.deb depends on Debian 13's libraries and installs
# there only. 1.1.1+deb12 sorts before 1.1.1+deb13, so an upgraded system
# moves on to the newer one.
if(VORZIK_DEBIAN_RELEASE)
  set(CPACK_DEBIAN_PACKAGE_VERSION "${PROJECT_VERSION}+deb${VORZIK_DEBIAN_RELEASE}")
else()
  message(STATUS "Debian package: not built on a numbered Debian release, so its version names none")
endif()
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so dpkg-shlibdeps cannot see them: the X11 platform
# plugin the window needs, and a Japanese face for its captions.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")

# The dependency dpkg-shlibdeps would write for a library the executables load
# with dlopen() by SONAME: the shlibs line of the package holding that library
# on the build machine ("libavfilter 8 libavfilter8 (>= 7:5.1.9)" on Debian 12),
# so each release's package names its own.
function(vorzik_shlibs_depends libdir library major out)
  set(${out} "" PARENT_SCOPE)
  set(path "${libdir}/${library}.so.${major}")
  execute_process(COMMAND "${VORZIK_DPKG_QUERY}" --search "${path}" OUTPUT_VARIABLE owner
                  RESULT_VARIABLE failed ERROR_QUIET)
  # "libavfilter8:amd64: /usr/lib/x86_64-linux-gnu/libavfilter.so.8"
  if(NOT failed AND owner MATCHES "^([^:,\n]+(:[^:,\n ]+)?): ")
    execute_process(COMMAND "${VORZIK_DPKG_QUERY}" --control-path "${CMAKE_MATCH_1}" shlibs
                    OUTPUT_VARIABLE shlibs OUTPUT_STRIP_TRAILING_WHITESPACE
                    RESULT_VARIABLE failed ERROR_QUIET)
  endif()
  if(NOT failed AND EXISTS "${shlibs}")
    file(STRINGS "${shlibs}" line REGEX "^${library} ${major} ")
    string(REGEX REPLACE "^${library} ${major} +" "" depends "${line}")
  endif()
  if(NOT depends)
    message(WARNING "Debian package: no package's shlibs name ${path}; the package "
                    "will not depend on it, though the tools load it")
  endif()
  set(${out} "${depends}" PARENT_SCOPE)
endfunction()

# The stand-in tools open libavfilter only when they build a filter graph
# (tools/filter_library.h), by the SONAME of the headers they are built with.
find_program(VORZIK_DPKG_QUERY dpkg-query)
if(TARGET vorzik_tools AND NOT VORZIK_DPKG_QUERY)
  message(STATUS "Debian package: no dpkg-query, so it names no libavfilter package")
elseif(TARGET vorzik_tools)
  # pkg-config's version starts with the headers' LIBAVFILTER_VERSION_MAJOR.
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(vorzik_avfilter REQUIRED QUIET libavfilter)
  string(REGEX MATCH "^[0-9]+" vorzik_avfilter_major "${vorzik_avfilter_VERSION}")
  vorzik_shlibs_depends("${vorzik_avfilter_LIBDIR}" libavfilter "${vorzik_avfilter_major}"
                        vorzik_avfilter_depends)
  if(vorzik_avfilter_depends)
    string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", ${vorzik_avfilter_depends}")
  endif()
endif()
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-ipafont-gothic | fonts-noto-cjk")
set(CPACK_STRIP_FILES ON)

# Stripping as Debian's own tools do it: the compilers' .comment and the
# generic .note section go too (build ids and ABI notes stay). Runs after the
# executables are installed, and only in a stripping install (CPack's).
foreach(target IN LISTS vorzik_programs)  # from install.cmake
  if(TARGET ${target})
    install(CODE "
      if(CMAKE_INSTALL_DO_STRIP)
        execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
          \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${VORZIK_INSTALL_PRIVATE_DIR}/$<TARGET_FILE_NAME:${target}>\"
          COMMAND_ERROR_IS_FATAL ANY)
      endif()")
  endif()
endforeach()
set(CPACK_SOURCE_IGNORE_FILES "/build/;/\\\\.git/")
include(CPack)
