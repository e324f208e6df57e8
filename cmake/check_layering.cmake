# Fails when a source breaks the layering the targets are built on: the
# pipeline knows nothing of the window or the program entry, and the window
# model knows no toolkit (only its peers in ui/qt/ and ui/win32/ do).
#   cmake -DVORZIK_SOURCE_DIR=<tree> -P check_layering.cmake
cmake_minimum_required(VERSION 3.25)

# Headers of a window toolkit: Qt, the Win32 controls and dialogs, X11.
set(toolkit_pattern "^(Q[A-Za-z]+(\\.h)?|Qt[A-Za-z]*/.*|commctrl\\.h|commdlg\\.h|windowsx\\.h|shellapi\\.h|X11/.*|xcb/.*)$")
# The Windows API itself, allowed in the platform halves (name_win32.cpp).
set(windows_pattern "^(windows|winnetwk|winbase|winuser)\\.h$")

# Sets `out` to why `include` may not appear in `file` (a path relative to the
# tree), or to "" when it may.
function(layering_fault file include out)
  set(reason "")
  if(file MATCHES "^pipeline/")
    set(layer "pipeline/")
    set(forbidden "^(ui|shell|tools)/")
  elseif(file MATCHES "^ui/" AND NOT file MATCHES "^ui/(qt|win32)/")
    set(layer "the window model in ui/")
    set(forbidden "^(shell|tools)/")
  else()
    set(${out} "" PARENT_SCOPE)
    return()
  endif()
  get_filename_component(name "${file}" NAME_WE)
  if(include MATCHES "${forbidden}")
    set(reason "${layer} must not include ${include}")
  elseif(include MATCHES "${toolkit_pattern}")
    set(reason "${layer} must not include the toolkit header ${include}")
  elseif(include MATCHES "${windows_pattern}" AND NOT name MATCHES "_win32$")
    set(reason "only a *_win32 file of ${layer} may include ${include}")
  endif()
  set(${out} "${reason}" PARENT_SCOPE)
endfunction()

# The rules first prove they can refuse, so a broken pattern cannot pass
# every tree unnoticed. Each row: file|include|1 when refused.
set(rules_cases
  "pipeline/stage_chain.cpp|ui/controls.h|1"
  "pipeline/batch_driver.h|shell/power/power_api.h|1"
  "pipeline/stage_chain.cpp|QString|1"
  "pipeline/stage_runner_posix.cpp|windows.h|1"
  "pipeline/stage_runner_win32.cpp|windows.h|0"
  "pipeline/stage_chain.cpp|pipeline/stage_runner.h|0"
  "ui/tform1.cpp|QWidget|1"
  "ui/tform1.cpp|QtWidgets/QWidget|1"
  "ui/browser/file_list_box.cpp|commctrl.h|1"
  "ui/focus.cpp|X11/Xlib.h|1"
  "ui/tform1.cpp|shell/native_services.h|1"
  "ui/browser/browser_queries_win32.cpp|winnetwk.h|0"
  "ui/tform1.cpp|pipeline/stage_chain.h|0"
  "ui/tform1.cpp|queue|0"
  "ui/qt/form_peer.cpp|QWidget|0"
  "ui/win32/control_windows.cpp|commctrl.h|0"
  "shell/main.cpp|QApplication|0")
foreach(row IN LISTS rules_cases)
  string(REPLACE "|" ";" fields "${row}")
  list(GET fields 0 file)
  list(GET fields 1 include)
  list(GET fields 2 refused)
  layering_fault("${file}" "${include}" reason)
  if((refused AND reason STREQUAL "") OR (NOT refused AND NOT reason STREQUAL ""))
    message(FATAL_ERROR "layering rules misjudge #include <${include}> in ${file}: '${reason}'")
  endif()
endforeach()

if(NOT IS_DIRECTORY "${VORZIK_SOURCE_DIR}/pipeline" OR NOT IS_DIRECTORY "${VORZIK_SOURCE_DIR}/ui")
  message(FATAL_ERROR "VORZIK_SOURCE_DIR must name the source tree, not '${VORZIK_SOURCE_DIR}'")
endif()
file(GLOB_RECURSE sources RELATIVE "${VORZIK_SOURCE_DIR}"
  "${VORZIK_SOURCE_DIR}/pipeline/*.cpp" "${VORZIK_SOURCE_DIR}/pipeline/*.h"
  "${VORZIK_SOURCE_DIR}/ui/*.cpp" "${VORZIK_SOURCE_DIR}/ui/*.h")
set(faults "")
set(count 0)
foreach(file IN LISTS sources)
  file(STRINGS "${VORZIK_SOURCE_DIR}/${file}" lines REGEX "^[ \t]*#[ \t]*include")
  foreach(line IN LISTS lines)
    if(line MATCHES "#[ \t]*include[ \t]*[<\"]([^>\"]+)[>\"]")
      math(EXPR count "${count} + 1")
      layering_fault("${file}" "${CMAKE_MATCH_1}" reason)
      if(reason)
        string(APPEND faults "  ${file}: ${reason}\n")
      endif()
    endif()
  endforeach()
endforeach()
if(faults)
  message(FATAL_ERROR "layering broken:\n${faults}")
endif()
list(LENGTH sources files)
message(STATUS "layering holds: ${count} includes in ${files} files")
