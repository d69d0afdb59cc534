# Test helpers shared by every subsystem.
#
#   tarvelin_add_test(NAME SUBSYSTEM <core|detection|driverdb|...> KIND <unit|pty|wine|e2e>
#                     SOURCES ... [LIBS ...] [NATIVE_ONLY] [WINDOWS_ONLY])
#
# Builds one GoogleTest program linked with the product library and the simulated services,
# and registers each of its tests with CTest carrying the subsystem and kind labels. In a
# cross build the programs run under Wine, so their kind label becomes "wine".

if(TARVELIN_BUILD_TESTS)
  if(CMAKE_CROSSCOMPILING)
    # Debian ships GoogleTest as sources; build them with the cross compiler.
    set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
    # The Windows compilers use the system's own thread model (no POSIX threads library, whose
    # imports Windows 2000 lacks) and so have no std::mutex; GoogleTest's locks are its own
    # Win32 ones, and its one std::mutex user comes from this header instead.
    target_compile_definitions(gtest PUBLIC GTEST_HAS_NOTIFICATION_=1)
    target_compile_options(gtest PUBLIC
      -include ${CMAKE_CURRENT_LIST_DIR}/GtestNotification.h)
  else()
    find_package(GTest REQUIRED)
  endif()
  include(GoogleTest)
endif()

function(tarvelin_add_test name)
  cmake_parse_arguments(T "NATIVE_ONLY;WINDOWS_ONLY" "SUBSYSTEM;KIND" "SOURCES;LIBS" ${ARGN})
  if(T_NATIVE_ONLY AND WIN32)
    return()
  endif()
  if(T_WINDOWS_ONLY AND NOT WIN32)
    return()
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE tarvelin tarvelin_sim GTest::gtest_main GTest::gmock ${T_LIBS})
  set(kind ${T_KIND})
  if(CMAKE_CROSSCOMPILING)
    set(kind wine)
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 120
    PROPERTIES TIMEOUT 300)
  tarvelin_label_discovered_tests(${name} "${T_SUBSYSTEM};${kind}")
endfunction()

# gtest_discover_tests passes list-valued properties on as separate words, so a test could
# carry only one label. This runs after discovery at test time and labels every test that
# the program's discovery file added.
function(tarvelin_label_discovered_tests name labels)
  tarvelin_set_discovered_tests_property(${name} "." LABELS "${labels}")
endfunction()

# Sets PROPERTY to VALUE (a list may be given) on the tests of the program NAME whose names
# contain a match of the regular expression MATCH, once discovery has added them.
function(tarvelin_set_discovered_tests_property name match property value)
  set(tests_file "${CMAKE_CURRENT_BINARY_DIR}/${name}[1]_tests.cmake")
  set(script "${CMAKE_CURRENT_BINARY_DIR}/${name}_${property}.cmake")
  file(WRITE "${script}"
    "if(EXISTS [==[${tests_file}]==])\n"
    "  file(STRINGS [==[${tests_file}]==] lines REGEX [==[^add_test]==])\n"
    "  foreach(line IN LISTS lines)\n"
    "    if(line MATCHES [==[^add_test\\(\\[=\\[(.*)\\]=\\] ]==])\n"
    "      set(test \"\${CMAKE_MATCH_1}\")\n"
    "      if(test MATCHES [==[${match}]==])\n"
    "        set_tests_properties(\"\${test}\" PROPERTIES ${property} [==[${value}]==])\n"
    "      endif()\n"
    "    endif()\n"
    "  endforeach()\n"
    "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${script}")
endfunction()
