# The layer check: every #include "folder/..." in a folder of the table in
# Layers.cmake names its own folder or one that it may use, and the folders
# that build without Qt include no Qt header. Run by CTest:
#   cmake -DSOURCE_DIR=<project> -P cmake/CheckLayers.cmake
# Prints each include that crosses a layer, with its file and line, and
# fails when there is one.
include(${CMAKE_CURRENT_LIST_DIR}/Layers.cmake)

set(known ${TESSALINE_LAYERS} bench fuzz tools)
set(problems 0)
foreach(folder ${known} ${TESSALINE_NESTED})
  file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.cpp)
  # A nested folder's files are checked against its own row only.
  foreach(inner ${TESSALINE_NESTED})
    if(NOT inner STREQUAL folder)
      list(FILTER sources EXCLUDE REGEX "^${inner}/")
    endif()
  endforeach()
  list(FIND TESSALINE_QT_FREE ${folder} qt_free)
  foreach(source ${sources})
    file(STRINGS ${SOURCE_DIR}/${source} lines REGEX "^[ \t]*#[ \t]*include")
    foreach(line ${lines})
      if(line MATCHES "#[ \t]*include[ \t]+\"([a-z_]+)/")
        set(used ${CMAKE_MATCH_1})
        list(FIND known ${used} is_layer)
        list(FIND TESSALINE_USES_${folder} ${used} allowed)
        if(NOT used STREQUAL folder AND is_layer GREATER -1 AND allowed EQUAL -1)
          message("${source}: ${line}: ${folder}/ may not use ${used}/ (cmake/Layers.cmake)")
          math(EXPR problems "${problems} + 1")
        endif()
      elseif(qt_free GREATER -1 AND line MATCHES "#[ \t]*include[ \t]+<(Q[A-Za-z]*|Qt[A-Za-z]*/)")
        message("${source}: ${line}: ${folder}/ builds without Qt")
        math(EXPR problems "${problems} + 1")
      endif()
    endforeach()
  endforeach()
endforeach()
if(problems GREATER 0)
  message(FATAL_ERROR "${problems} includes cross the layers")
endif()
message("every include keeps to the layers")
