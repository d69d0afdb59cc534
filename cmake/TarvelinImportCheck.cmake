# The shipped Windows programs must start on Windows 2000: after each of them is linked, its
# import table is compared with the functions that system has (win2000-imports.txt), and the
# build fails naming any other import. The same check runs as a test of each program.
#
#   tarvelin_check_imports(<source folder>...)  checks every executable defined in the folders
function(tarvelin_check_imports)
  if(NOT CMAKE_OBJDUMP)
    message(FATAL_ERROR "objdump of the Windows toolchain not found: the import check needs it")
  endif()
  set(allowed ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/win2000-imports.txt)
  set(script ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/CheckImports.cmake)
  set(programs)
  foreach(dir IN LISTS ARGN)
    tarvelin_executables_in(${dir} programs)
  endforeach()
  set(stamps)
  foreach(program IN LISTS programs)
    set(check ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} -DIMAGE=$<TARGET_FILE:${program}>
              -DALLOWED=${allowed} -DARCH=${CMAKE_SYSTEM_PROCESSOR} -P ${script})
    set(stamp ${CMAKE_BINARY_DIR}/import-check/${program}.checked)
    add_custom_command(OUTPUT ${stamp}
      COMMAND ${check}
      COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
      DEPENDS ${program} ${allowed} ${script}
      COMMENT "Checking that ${program} imports only what Windows 2000 has"
      VERBATIM)
    list(APPEND stamps ${stamp})
    add_test(NAME imports_${program} COMMAND ${check})
    set_tests_properties(imports_${program} PROPERTIES LABELS "core;imports")
  endforeach()
  add_custom_target(tarvelin_import_check ALL DEPENDS ${stamps})
endfunction()

# Appends the executables defined in `dir` and below to the list named `out`.
function(tarvelin_executables_in dir out)
  set(found ${${out}})
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
      list(APPEND found ${target})
    endif()
  endforeach()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdir IN LISTS subdirs)
    tarvelin_executables_in(${subdir} found)
  endforeach()
  set(${out} ${found} PARENT_SCOPE)
endfunction()
