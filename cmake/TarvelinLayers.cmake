# The product's layers as static libraries whose headers are visible only through their own
# include roots. A library compiles against the headers of the libraries it links and no
# others, so an include that runs against the layering (core including detection, or any
# logic including a system adapter) fails to build. Each root is a folder of the build tree
# holding a symbolic link into src/, so headers keep their "layer/Name.h" include paths.
#
#   tarvelin_layer(TARGET DIR [TOP_ONLY] SOURCES ...)
#
# DIR is the layer's folder under src/ ("core", "platform/win32"). TOP_ONLY exposes the
# folder's own headers but none of its subfolders: the platform interfaces, whose adapters
# below them are layers of their own.
function(tarvelin_layer target dir)
  cmake_parse_arguments(L "TOP_ONLY" "" "SOURCES" ${ARGN})
  add_library(${target} STATIC ${L_SOURCES})
  set(root ${CMAKE_BINARY_DIR}/layers/${target})
  set(source ${PROJECT_SOURCE_DIR}/src/${dir})
  if(L_TOP_ONLY)
    file(REMOVE_RECURSE ${root})  # a real folder of file links: drops links to removed headers
    file(MAKE_DIRECTORY ${root}/${dir})
    file(GLOB headers CONFIGURE_DEPENDS ${source}/*.h)
    foreach(header IN LISTS headers)
      get_filename_component(name ${header} NAME)
      file(CREATE_LINK ${header} ${root}/${dir}/${name} SYMBOLIC)
    endforeach()
  else()
    get_filename_component(parent ${root}/${dir} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${source} ${root}/${dir} SYMBOLIC)
  endif()
  target_include_directories(${target} PUBLIC ${root})
endfunction()
