# The driver database container, built from resources/driverdb/manifest.txt by the native
# tarvelin-dbtool: target driverdb_container, output path in TARVELIN_DB_CONTAINER. A cross
# build makes its own host copy of the tool from tools/dbtool first.
set(_driverdb_manifest ${PROJECT_SOURCE_DIR}/resources/driverdb/manifest.txt)
if(EXISTS ${_driverdb_manifest})
  # The manifest names the inputs; a change to it configures again so the list stays true.
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_driverdb_manifest})
  get_filename_component(_driverdb_dir ${_driverdb_manifest} DIRECTORY)
  file(STRINGS ${_driverdb_manifest} _driverdb_lines)
  set(_driverdb_inputs ${_driverdb_manifest})
  foreach(_line IN LISTS _driverdb_lines)
    if(_line MATCHES "^[ \t]*(text|binary)[ \t]+(.*[^ \t\r])[ \t\r]*$")
      list(APPEND _driverdb_inputs ${_driverdb_dir}/${CMAKE_MATCH_2})
    endif()
  endforeach()

  set(_driverdb_out ${CMAKE_BINARY_DIR}/resources/driverdb/VexrDB.bin)
  if(CMAKE_CROSSCOMPILING)
    include(ExternalProject)
    set(_host_dir ${CMAKE_BINARY_DIR}/host-dbtool)
    set(_dbtool ${_host_dir}/tarvelin-dbtool)
    ExternalProject_Add(dbtool_host
      SOURCE_DIR ${PROJECT_SOURCE_DIR}/tools/dbtool
      BINARY_DIR ${_host_dir}
      CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release
      INSTALL_COMMAND ""
      BUILD_ALWAYS ON
      BUILD_BYPRODUCTS ${_dbtool})
    set(_dbtool_deps dbtool_host ${_dbtool})
  else()
    set(_dbtool $<TARGET_FILE:tarvelin-dbtool>)
    set(_dbtool_deps tarvelin-dbtool)
  endif()

  add_custom_command(OUTPUT ${_driverdb_out}
    COMMAND ${_dbtool} build ${_driverdb_manifest} ${_driverdb_out}
    DEPENDS ${_driverdb_inputs} ${_dbtool_deps}
    COMMENT "Building the driver database container"
    VERBATIM)
  add_custom_target(driverdb_container ALL DEPENDS ${_driverdb_out})
  set(TARVELIN_DB_CONTAINER ${_driverdb_out} CACHE INTERNAL
      "The driver database container that target driverdb_container builds")
endif()
