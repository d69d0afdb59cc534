# The program's artwork, rendered at build time from the SVG sources of resources/art as the
# manifest there lists them:
#   rsvg-convert   SVG -> PNG at the listed size
#   convert        PNG -> raw RGBA bytes (ImageMagick)
#   tarvelin-artpack  RGBA -> 24-bit <id>.bmp, <id>.cur, <id>.ico (bitmap-coded entries)
# Outputs go to <build>/resources/art, with Artwork.rc naming them for the resource compiler
# and a preview bitmap of each cursor and icon (cursor-<id>.bmp, icon-<id>.bmp) for native
# viewers. Sets TARVELIN_ARTWORK_DIR, TARVELIN_ARTWORK_RC and TARVELIN_ARTWORK_FILES (cache)
# and the target "artwork".

function(_tarvelin_art_variant source state out)
  set(plate "#fffffe")
  set(picture "#656466")
  if(state STREQUAL "hover")
    set(plate "#ffe1e1")
    set(picture "#ff0000")
  elseif(state STREQUAL "selected")
    set(plate "#ff0000")
    set(picture "#ffffff")
  endif()
  file(READ ${source} text)
  string(REPLACE "#fffffe" "${plate}" text "${text}")
  string(REPLACE "#656466" "${picture}" text "${text}")
  file(WRITE ${out} "${text}")
endfunction()

# Commands that render source at width x height into the raw file rgba.
function(_tarvelin_art_render source width height rgba out_commands)
  set(${out_commands}
    COMMAND ${RSVG_CONVERT} -w ${width} -h ${height} -o ${rgba}.png ${source}
    COMMAND ${IMAGEMAGICK_CONVERT} ${rgba}.png -depth 8 RGBA:${rgba}
    PARENT_SCOPE)
endfunction()

function(tarvelin_artwork)
  set(art ${PROJECT_SOURCE_DIR}/resources/art)
  set(out ${CMAKE_BINARY_DIR}/resources/art)
  set(work ${out}/work)
  file(MAKE_DIRECTORY ${work})
  find_program(RSVG_CONVERT rsvg-convert REQUIRED)
  find_program(IMAGEMAGICK_CONVERT convert REQUIRED)
  if(CMAKE_CROSSCOMPILING)
    include(ExternalProject)
    set(pack ${CMAKE_BINARY_DIR}/host-artpack/tarvelin-artpack)
    ExternalProject_Add(artpack_host
      SOURCE_DIR ${PROJECT_SOURCE_DIR}/tools/artpack
      BINARY_DIR ${CMAKE_BINARY_DIR}/host-artpack
      CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release
      INSTALL_COMMAND ""
      BUILD_ALWAYS ON
      BUILD_BYPRODUCTS ${pack})
    set(pack_deps artpack_host ${pack})
  else()
    set(pack $<TARGET_FILE:tarvelin-artpack>)
    set(pack_deps tarvelin-artpack)
  endif()

  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${art}/artwork.txt)
  file(STRINGS ${art}/artwork.txt lines REGEX "^[a-z]")
  set(rc "// The program's artwork, generated from resources/art/artwork.txt.\n")
  set(files)
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "[ \t]+" ";" f "${line}")
    list(GET f 0 kind)
    list(GET f 1 id)
    list(GET f 2 name)
    set(source ${art}/${name})
    set(rgba ${work}/${kind}-${id})
    set(deps ${source} ${pack_deps})
    if(kind STREQUAL "bitmap")
      list(GET f 3 w)
      list(GET f 4 h)
      list(LENGTH f n)
      if(n GREATER 5)
        list(GET f 5 state)
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
        set(source ${work}/${id}.svg)
        _tarvelin_art_variant(${art}/${name} ${state} ${source})
      endif()
      _tarvelin_art_render(${source} ${w} ${h} ${rgba} render)
      add_custom_command(OUTPUT ${out}/${id}.bmp ${render}
        COMMAND ${pack} bmp ${w} ${h} ${rgba} ${out}/${id}.bmp
        DEPENDS ${deps} VERBATIM)
      list(APPEND files ${out}/${id}.bmp)
      string(APPEND rc "${id} BITMAP \"${out}/${id}.bmp\"\n")
    elseif(kind STREQUAL "cursor")
      list(GET f 3 size)
      list(GET f 4 x)
      list(GET f 5 y)
      _tarvelin_art_render(${source} ${size} ${size} ${rgba} render)
      add_custom_command(OUTPUT ${out}/${id}.cur ${out}/cursor-${id}.bmp ${render}
        COMMAND ${pack} cur ${out}/${id}.cur ${size} ${x} ${y} ${rgba}
        COMMAND ${pack} bmp ${size} ${size} ${rgba} ${out}/cursor-${id}.bmp
        DEPENDS ${deps} VERBATIM)
      list(APPEND files ${out}/${id}.cur ${out}/cursor-${id}.bmp)
      string(APPEND rc "${id} CURSOR \"${out}/${id}.cur\"\n")
    elseif(kind STREQUAL "icon")
      list(SUBLIST f 3 -1 sizes)
      set(commands)
      set(entries)
      foreach(size IN LISTS sizes)
        _tarvelin_art_render(${source} ${size} ${size} ${rgba}-${size} render)
        list(APPEND commands ${render})
        list(APPEND entries ${size} ${rgba}-${size})
      endforeach()
      # The preview is of the last (largest) size.
      add_custom_command(OUTPUT ${out}/${id}.ico ${out}/icon-${id}.bmp ${commands}
        COMMAND ${pack} ico ${out}/${id}.ico ${entries}
        COMMAND ${pack} bmp ${size} ${size} ${rgba}-${size} ${out}/icon-${id}.bmp
        DEPENDS ${deps} VERBATIM)
      list(APPEND files ${out}/${id}.ico ${out}/icon-${id}.bmp)
      string(APPEND rc "${id} ICON \"${out}/${id}.ico\"\n")
    else()
      message(FATAL_ERROR "resources/art/artwork.txt: unknown kind in '${line}'")
    endif()
  endforeach()
  file(CONFIGURE OUTPUT ${out}/Artwork.rc CONTENT "${rc}")
  add_custom_target(artwork ALL DEPENDS ${files})
  set(TARVELIN_ARTWORK_DIR ${out} CACHE INTERNAL "The folder of the built artwork")
  set(TARVELIN_ARTWORK_RC ${out}/Artwork.rc CACHE INTERNAL "Resource lines of the artwork")
  set(TARVELIN_ARTWORK_FILES "${files}" CACHE INTERNAL "The built artwork files")
endfunction()
