# The program's icon in the sizes of the desktop's hicolor theme, rendered at
# build time from the one drawing, packaging/vorzik.svg, so no binary image is
# kept in the sources. The files land in the theme's own layout below
# VORZIK_ICON_DIR: <size>x<size>/apps/vorzik.png.
find_program(VORZIK_RSVG_CONVERT rsvg-convert REQUIRED)
set(VORZIK_ICON_SIZES 16 24 32 48 64 128 256)
set(VORZIK_ICON_DIR "${CMAKE_BINARY_DIR}/icons/hicolor")

set(vorzik_icon_source "${PROJECT_SOURCE_DIR}/packaging/vorzik.svg")
set(vorzik_icon_files)
foreach(size IN LISTS VORZIK_ICON_SIZES)
  set(folder "${VORZIK_ICON_DIR}/${size}x${size}/apps")
  add_custom_command(
    OUTPUT "${folder}/vorzik.png"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${folder}"
    COMMAND "${VORZIK_RSVG_CONVERT}" --width ${size} --height ${size}
            --output "${folder}/vorzik.png" "${vorzik_icon_source}"
    DEPENDS "${vorzik_icon_source}"
    COMMENT "Rendering the ${size}x${size} icon"
    VERBATIM)
  list(APPEND vorzik_icon_files "${folder}/vorzik.png")
endforeach()
add_custom_target(vorzik_icons ALL DEPENDS ${vorzik_icon_files})
