# Fails when a Windows program imports a function that the oldest supported Windows lacks, or
# when its header asks for a newer Windows than that.
#   cmake -DOBJDUMP=<objdump> -DIMAGE=<program.exe> -DALLOWED=<list file> [-DARCH=x86_64] -P CheckImports.cmake
# The list holds one DLL!function a line; '#' starts a comment. A line starting with "x64 "
# allows its import in 64-bit programs only (every 64-bit Windows has it). DLL names compare
# without regard to case, function names exactly.
cmake_minimum_required(VERSION 3.25)
foreach(var OBJDUMP IMAGE ALLOWED)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "CheckImports.cmake: ${var} is not set")
  endif()
endforeach()

function(normalise import out)
  string(FIND "${import}" "!" bang)
  string(SUBSTRING "${import}" 0 ${bang} dll)
  string(SUBSTRING "${import}" ${bang} -1 function)
  string(TOUPPER "${dll}" dll)
  set(${out} "${dll}${function}" PARENT_SCOPE)
endfunction()

file(STRINGS "${ALLOWED}" lines)
set(allowed)
foreach(line IN LISTS lines)
  string(REGEX REPLACE "#.*" "" line "${line}")
  string(STRIP "${line}" line)
  if(line MATCHES "^x64 +(.+)$")
    if(NOT ARCH STREQUAL "x86_64")
      continue()
    endif()
    set(line "${CMAKE_MATCH_1}")
  endif()
  if(line MATCHES "^[^!]+![^!]+$")
    normalise("${line}" entry)
    list(APPEND allowed "${entry}")
  elseif(NOT line STREQUAL "")
    message(FATAL_ERROR "${ALLOWED}: not a DLL!function line: ${line}")
  endif()
endforeach()

execute_process(COMMAND "${OBJDUMP}" -p "${IMAGE}" OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${OBJDUMP} -p ${IMAGE} failed")
endif()
# objdump prints each imported DLL as "DLL Name: X.dll", then one line per function:
# <tab><address><tab> <hint>  <name>. Semicolons would split the CMake list, so they go first.
string(REPLACE ";" "," dump "${dump}")
string(REPLACE "\n" ";" dump "${dump}")
set(dll "")
set(refused)
set(count 0)
foreach(line IN LISTS dump)
  if(line MATCHES "^\tDLL Name: (.+)$")
    set(dll "${CMAKE_MATCH_1}")
  elseif(line STREQUAL "")
    set(dll "")
  elseif(dll AND line MATCHES "^\t[0-9a-fA-F]+\t +[0-9]+ +([^ ]+)")
    math(EXPR count "${count} + 1")
    normalise("${dll}!${CMAKE_MATCH_1}" import)
    if(NOT import IN_LIST allowed)
      list(APPEND refused "${dll}!${CMAKE_MATCH_1}")
    endif()
  endif()
endforeach()

get_filename_component(name "${IMAGE}" NAME)
# Windows refuses to start a program whose header asks for a newer system: Windows 2000 is
# 5.0, the first 64-bit Windows 5.2.
set(oldest 5.0)
if(ARCH STREQUAL "x86_64")
  set(oldest 5.2)
endif()
if(dump MATCHES "MajorSubsystemVersion\t([0-9]+);MinorSubsystemVersion\t([0-9]+)")
  set(wanted "${CMAKE_MATCH_1}.${CMAKE_MATCH_2}")
  if(wanted VERSION_GREATER oldest)
    message(FATAL_ERROR "${name} asks for Windows ${wanted} in its header; the oldest supported is ${oldest}")
  endif()
else()
  message(FATAL_ERROR "${name}: no subsystem version found in the output of ${OBJDUMP} -p")
endif()
if(count EQUAL 0)
  message(FATAL_ERROR "${name}: no imports found in the output of ${OBJDUMP} -p")
endif()
if(refused)
  list(JOIN refused "\n  " refused)
  message(FATAL_ERROR
    "${name} imports what Windows 2000 does not have (or what has not been checked yet):\n"
    "  ${refused}\n"
    "Reach it through GetProcAddress with a fallback, or, once it is known to exist in "
    "Windows 2000 (64-bit programs: in every 64-bit Windows), add it to ${ALLOWED}.")
endif()
