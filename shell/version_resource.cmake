# Writes the executable's version resource script from shell/version_info.h,
# where the record's texts live, so the two cannot drift apart.
#
# The texts are UTF-8 there; the resource is Japanese, code page 932. Each text
# is converted to Shift-JIS with iconv and written with its non-ASCII bytes as
# octal escapes: a Shift-JIS trail byte may have the code of a backslash or a
# quote, which the resource compiler's lexer would otherwise take for one.

# The text of `inline constexpr char <name>[] = "...";` in the header.
function(vorzik_version_text header name out)
  file(STRINGS "${header}" lines ENCODING UTF-8 REGEX "constexpr char ${name}\\[\\] = ")
  # file(STRINGS) gives the semicolon escaped; the text ends at the last quote.
  if(NOT lines MATCHES "= \"(.*)\"")
    message(FATAL_ERROR "${header}: no text ${name}")
  endif()
  set(${out} "${CMAKE_MATCH_1}" PARENT_SCOPE)
endfunction()

# `text` (UTF-8) as the body of a resource string literal in code page 932.
function(vorzik_rc_string text out)
  set(scratch "${CMAKE_CURRENT_BINARY_DIR}/version_text")
  file(WRITE "${scratch}.utf8" "${text}")
  execute_process(COMMAND iconv -f UTF-8 -t CP932 "${scratch}.utf8"
                  OUTPUT_FILE "${scratch}.sjis" RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "iconv cannot write \"${text}\" in code page 932")
  endif()
  file(READ "${scratch}.sjis" hex HEX)
  string(LENGTH "${hex}" length)
  set(result "")
  set(trail FALSE)
  set(i 0)
  while(i LESS length)
    string(SUBSTRING "${hex}" ${i} 2 byteHex)
    math(EXPR byte "0x${byteHex}")
    if(byte GREATER_EQUAL 128 OR trail)
      # The byte after a lead byte belongs to the same character.
      if(NOT trail AND ((byte GREATER_EQUAL 0x81 AND byte LESS_EQUAL 0x9F) OR
                        (byte GREATER_EQUAL 0xE0 AND byte LESS_EQUAL 0xFC)))
        set(trail TRUE)
      else()
        set(trail FALSE)
      endif()
      math(EXPR d1 "${byte} / 64")
      math(EXPR d2 "(${byte} / 8) % 8")
      math(EXPR d3 "${byte} % 8")
      string(APPEND result "\\${d1}${d2}${d3}")
    elseif(byteHex STREQUAL "22")
      string(APPEND result "\"\"")
    elseif(byteHex STREQUAL "5c")
      string(APPEND result "\\\\")
    else()
      string(ASCII ${byte} char)
      string(APPEND result "${char}")
    endif()
    math(EXPR i "${i} + 2")
  endwhile()
  set(${out} "${result}" PARENT_SCOPE)
endfunction()

# Writes `output` from the header; the configure step reruns when it changes.
function(vorzik_write_version_resource header output)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${header}")
  file(STRINGS "${header}" versions REGEX "constexpr int k(File|Product)Version\\[4\\]")
  foreach(line IN LISTS versions)
    if(line MATCHES "k(File|Product)Version\\[4\\] = {([0-9]+), *([0-9]+), *([0-9]+), *([0-9]+)}")
      set(VORZIK_RC_${CMAKE_MATCH_1}_VERSION
          "${CMAKE_MATCH_2},${CMAKE_MATCH_3},${CMAKE_MATCH_4},${CMAKE_MATCH_5}")
    endif()
  endforeach()
  file(STRINGS "${header}" numbers REGEX "constexpr unsigned k(Language|CodePage) = ")
  foreach(line IN LISTS numbers)
    if(line MATCHES "k(Language|CodePage) = (0x[0-9A-Fa-f]+|[0-9]+)")
      math(EXPR VORZIK_RC_${CMAKE_MATCH_1} "${CMAKE_MATCH_2}")
    endif()
  endforeach()
  foreach(var File_VERSION Product_VERSION Language CodePage)
    if(NOT DEFINED VORZIK_RC_${var})
      message(FATAL_ERROR "${header}: no ${var}")
    endif()
  endforeach()
  # The string block is named by language and code page, four hex digits each.
  math(EXPR VORZIK_RC_LANGUAGE_HEX "${VORZIK_RC_Language}" OUTPUT_FORMAT HEXADECIMAL)
  math(EXPR VORZIK_RC_CODEPAGE_HEX "${VORZIK_RC_CodePage}" OUTPUT_FORMAT HEXADECIMAL)
  string(SUBSTRING "${VORZIK_RC_LANGUAGE_HEX}" 2 -1 language)
  string(SUBSTRING "${VORZIK_RC_CODEPAGE_HEX}" 2 -1 codePage)
  string(TOUPPER "0000${language}" language)
  string(TOUPPER "0000${codePage}" codePage)
  string(LENGTH "${language}" n)
  math(EXPR n "${n} - 4")
  string(SUBSTRING "${language}" ${n} 4 language)
  string(LENGTH "${codePage}" n)
  math(EXPR n "${n} - 4")
  string(SUBSTRING "${codePage}" ${n} 4 codePage)
  set(VORZIK_RC_BLOCK "${language}${codePage}")

  foreach(field CompanyName FileDescription FileVersion InternalName LegalCopyright
                LegalTrademarks OriginalFilename ProductName ProductVersion Comments)
    set(name ${field})
    if(field MATCHES "^(File|Product)Version$")
      set(name ${field}Text)
    endif()
    vorzik_version_text("${header}" "k${name}" text)
    vorzik_rc_string("${text}" VORZIK_RC_${field})
  endforeach()
  configure_file("${CMAKE_CURRENT_FUNCTION_LIST_DIR}/vorzik.rc.in" "${output}" @ONLY)
endfunction()
