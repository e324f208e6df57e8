# Install layout on Linux: the program and the tools it runs share one private
# folder, because the program looks for the tools beside its own executable.
# The command path reaches the two commands through relative links, which the
# program resolves (through /proc/self/exe) to that folder again.
include(GNUInstallDirs)

set(VORZIK_INSTALL_PRIVATE_DIR "${CMAKE_INSTALL_LIBDIR}/vorzik")
# The date of the newest changelog entry dates the manual pages and the
# release the metainfo names (there as YYYY-MM-DD).
set_property(DIRECTORY "${PROJECT_SOURCE_DIR}" APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             "${PROJECT_SOURCE_DIR}/packaging/changelog")
file(STRINGS "${PROJECT_SOURCE_DIR}/packaging/changelog" vorzik_trailer REGEX "^ -- " LIMIT_COUNT 1)
string(REGEX REPLACE ".*, ([0-9]+) ([A-Za-z]+) ([0-9]+) .*" "\\1 \\2 \\3" VORZIK_RELEASE_DATE
       "${vorzik_trailer}")
execute_process(COMMAND date -u -d "${VORZIK_RELEASE_DATE}" +%F
                OUTPUT_VARIABLE VORZIK_RELEASE_ISO_DATE OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)

set(vorzik_programs vorzik vorzik-convert besweet_exe ql7rzfir_exe ql7rziir_exe normalize_exe)
foreach(target IN LISTS vorzik_programs)
  if(TARGET ${target})
    install(TARGETS ${target} RUNTIME DESTINATION "${VORZIK_INSTALL_PRIVATE_DIR}")
  endif()
endforeach()

set(vorzik_staging "${CMAKE_BINARY_DIR}/install-staging")
file(MAKE_DIRECTORY "${vorzik_staging}/links" "${vorzik_staging}/man")
file(RELATIVE_PATH vorzik_bin_to_private "${CMAKE_INSTALL_FULL_BINDIR}"
     "${CMAKE_INSTALL_FULL_LIBDIR}/vorzik")
foreach(command vorzik vorzik-convert)
  if(NOT TARGET ${command})
    continue()
  endif()
  # Made once here and installed as links (install keeps a link a link).
  file(CREATE_LINK "${vorzik_bin_to_private}/${command}" "${vorzik_staging}/links/${command}"
       SYMBOLIC)
  install(FILES "${vorzik_staging}/links/${command}" DESTINATION "${CMAKE_INSTALL_BINDIR}")

  # Manual pages are installed compressed, without a name or time stamp inside.
  configure_file("${PROJECT_SOURCE_DIR}/packaging/${command}.1.in"
                 "${vorzik_staging}/man/${command}.1" @ONLY)
  execute_process(COMMAND gzip -9nc INPUT_FILE "${vorzik_staging}/man/${command}.1"
                  OUTPUT_FILE "${vorzik_staging}/man/${command}.1.gz" COMMAND_ERROR_IS_FATAL ANY)
  install(FILES "${vorzik_staging}/man/${command}.1.gz" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
endforeach()

if(TARGET vorzik)
  # The menu entry and the metainfo carry the one application id, so software
  # centres tie the two together.
  install(FILES "${PROJECT_SOURCE_DIR}/packaging/${VORZIK_APP_ID}.desktop"
          DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
  # AppStream 1.0 (Debian 13) names the developer in <developer> and calls
  # <developer_name> deprecated; Debian 12's AppStream 0.16 knows only the latter.
  set(vorzik_developer "The Vorzik developers")
  if(VORZIK_DEBIAN_RELEASE AND VORZIK_DEBIAN_RELEASE LESS 13)
    set(VORZIK_METAINFO_DEVELOPER "<developer_name>${vorzik_developer}</developer_name>")
  else()
    string(REGEX REPLACE "\\.[^.]+$" "" vorzik_developer_id "${VORZIK_APP_ID}")
    set(VORZIK_METAINFO_DEVELOPER
        "<developer id=\"${vorzik_developer_id}\"><name>${vorzik_developer}</name></developer>")
  endif()
  configure_file("${PROJECT_SOURCE_DIR}/packaging/${VORZIK_APP_ID}.metainfo.xml.in"
                 "${vorzik_staging}/${VORZIK_APP_ID}.metainfo.xml" @ONLY)
  install(FILES "${vorzik_staging}/${VORZIK_APP_ID}.metainfo.xml"
          DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")
  install(FILES "${PROJECT_SOURCE_DIR}/packaging/vorzik.svg"
          DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps")
  foreach(size IN LISTS VORZIK_ICON_SIZES)
    install(FILES "${VORZIK_ICON_DIR}/${size}x${size}/apps/vorzik.png"
            DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps")
  endforeach()
endif()
