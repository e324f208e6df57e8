# Reads a Windows program's header and import table and fails where Windows XP
# SP3's loader would refuse to start it:
# - a function imported by name that the MinGW-w64 headers do not declare for
#   Windows XP (_WIN32_WINNT=0x0501): one a later Windows added;
# - comctl32's subclass calls imported by name: XP's comctl32 5.82, the one a
#   program without a common-controls 6 manifest gets, exports them by
#   ordinal only (the headers declare them all the same);
# - a subsystem version above 5.1.
# Imports by ordinal are left alone.
#   cmake -DEXE=... -DOBJDUMP=... -DCC=... -DWORK=... -P check_xp_imports.cmake

cmake_minimum_required(VERSION 3.25)

# The C runtime's start-up code calls these in msvcrt.dll, which has exported
# them since Windows 95; no public header declares them.
set(startupCalls __getmainargs __initenv __p__commode __set_app_type __setusermatherr _amsg_exit
                 _initterm)
set(subclassCalls SetWindowSubclass DefSubclassProc RemoveWindowSubclass GetWindowSubclass)

execute_process(COMMAND "${OBJDUMP}" -p "${EXE}" OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed OR NOT dump MATCHES "DLL Name: ")
  message(FATAL_ERROR "${OBJDUMP} cannot read the imports of ${EXE}")
endif()

set(faults "")
if(NOT dump MATCHES "MajorSubsystemVersion\t([0-9]+)\nMinorSubsystemVersion\t([0-9]+)")
  message(FATAL_ERROR "${EXE}: no subsystem version in its header")
endif()
set(subsystem "${CMAKE_MATCH_1}.${CMAKE_MATCH_2}")
if(subsystem VERSION_GREATER 5.1)
  list(APPEND faults "subsystem version ${subsystem}, above Windows XP's 5.1")
endif()

# Each named import as DLL!name; ordinals show "<none>" for a name.
string(REPLACE ";" "\\;" dump "${dump}")
string(REPLACE "\n" ";" lines "${dump}")
set(imports "")
set(dll "")
foreach(line IN LISTS lines)
  if(line MATCHES "^\tDLL Name: (.+)$")
    set(dll "${CMAKE_MATCH_1}")
  elseif(dll AND line MATCHES "^\t[0-9a-f]+\t +[0-9]+  (.+)$" AND NOT CMAKE_MATCH_1 STREQUAL "<none>")
    list(APPEND imports "${dll}!${CMAKE_MATCH_1}")
  elseif(line MATCHES "^The ")
    set(dll "")
  endif()
endforeach()
if(NOT imports)
  message(FATAL_ERROR "${EXE}: no named import found in its import table")
endif()

# Which names the headers declare for XP: one use of each in a C file, which
# the compiler names when it is undeclared. A name the headers make a macro
# counts as declared.
set(uses "")
foreach(import IN LISTS imports)
  string(REGEX REPLACE "^.*!" "" name "${import}")
  if(name MATCHES "^[A-Za-z_][A-Za-z0-9_]*$")
    string(APPEND uses "#ifndef ${name}\n  (void)&${name};\n#endif\n")
  endif()
endforeach()
file(MAKE_DIRECTORY "${WORK}")
file(WRITE "${WORK}/xp_declared.c"
     "#include <windows.h>\n#include <commctrl.h>\n#include <winnetwk.h>\n#include <shellapi.h>\n"
     "#include <errno.h>\n#include <io.h>\n#include <locale.h>\n#include <math.h>\n"
     "#include <process.h>\n#include <setjmp.h>\n#include <signal.h>\n#include <stdio.h>\n"
     "#include <stdlib.h>\n#include <string.h>\n#include <time.h>\n#include <wchar.h>\n"
     "void uses(void) {\n${uses}}\n")
set(ENV{LC_ALL} C)
execute_process(
  COMMAND "${CC}" -fsyntax-only -D_WIN32_WINNT=0x0501 -DWINVER=0x0501 -D_WIN32_IE=0x0600
          "${WORK}/xp_declared.c"
  RESULT_VARIABLE failed ERROR_VARIABLE errors)
string(REGEX MATCHALL "'[A-Za-z0-9_]+' undeclared" undeclared "${errors}")
if(failed AND NOT undeclared)
  message(FATAL_ERROR "The header check did not compile:\n${errors}")
endif()
list(TRANSFORM undeclared REPLACE "^'([^']+)' undeclared$" "\\1")

set(importFaults "")
foreach(import IN LISTS imports)
  string(REGEX REPLACE "^(.*)!(.*)$" "\\1" dll "${import}")
  string(REGEX REPLACE "^.*!" "" name "${import}")
  string(TOLOWER "${dll}" dll)
  if(NOT name MATCHES "^[A-Za-z_][A-Za-z0-9_]*$")
    list(APPEND importFaults "${import}: not a name the system's headers declare")
  elseif(dll STREQUAL "comctl32.dll" AND name IN_LIST subclassCalls)
    list(APPEND importFaults "${import}: by name, but comctl32 5.82 exports it by ordinal only")
  elseif(name IN_LIST undeclared AND NOT (dll STREQUAL "msvcrt.dll" AND name IN_LIST startupCalls))
    list(APPEND importFaults "${import}: not declared for Windows XP")
  endif()
endforeach()

list(SORT importFaults)
list(APPEND faults ${importFaults})
list(LENGTH imports count)
if(faults)
  list(JOIN faults "\n  " text)
  # The path on a line of its own: CMake word-wraps a message's first line, and
  # a long path would split the sentence the test looks for.
  message(FATAL_ERROR "would not start on Windows XP:\n  ${EXE}\n  ${text}")
endif()
message(STATUS "${EXE}: subsystem ${subsystem}, ${count} named imports, all in Windows XP")
