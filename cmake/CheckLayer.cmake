# Refuses an include that points up or sideways in the layer graph.
#   cmake -DROOT=<source root> -DLAYER=<folder> -DALLOWED=<layer,...> -DOWN_LAYERS=<folder/sub,...>
#         -DSTAMP=<file> -P CheckLayer.cmake
# A layer is a folder, or one of OWN_LAYERS: a sub-folder that is a layer of its own (a backend,
# which only the program's entry and the tests may name). Every `#include "x/..."` in the layer
# (and its subfolders, less those that are layers of their own) must name the layer itself or
# one of ALLOWED; each one that does not is printed as file:line and fails the build.
cmake_minimum_required(VERSION 3.25)
string(REPLACE "," ";" ALLOWED "${ALLOWED}")
string(REPLACE "," ";" OWN_LAYERS "${OWN_LAYERS}")

# The layer a path inside the tree belongs to: its sub-folder when that is a layer of its own,
# otherwise its first folder.
function(layer_of path result)
  set(layer "")
  if(path MATCHES "^([A-Za-z0-9_]+)/")
    set(layer "${CMAKE_MATCH_1}")
  endif()
  # The match is read only after MATCHES has run: `if` expands its arguments beforehand.
  if(path MATCHES "^([A-Za-z0-9_]+/[A-Za-z0-9_]+)/")
    if(CMAKE_MATCH_1 IN_LIST OWN_LAYERS)
      set(layer "${CMAKE_MATCH_1}")
    endif()
  endif()
  set(${result} "${layer}" PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE sources RELATIVE ${ROOT} ${ROOT}/${LAYER}/*.h ${ROOT}/${LAYER}/*.cpp)
set(violations "")
foreach(source IN LISTS sources)
  layer_of(${source} owner)
  if(NOT owner STREQUAL LAYER)
    continue()
  endif()
  file(STRINGS ${ROOT}/${source} lines)
  set(number 0)
  foreach(line IN LISTS lines)
    math(EXPR number "${number} + 1")
    if(line MATCHES "^[ \t]*#[ \t]*include[ \t]*\"([A-Za-z0-9_]+/[^\"]*)\"")
      layer_of(${CMAKE_MATCH_1} target)
      if(NOT target STREQUAL LAYER AND NOT target IN_LIST ALLOWED)
        string(APPEND violations "${ROOT}/${source}:${number}: ${LAYER}/ may not include ${target}/ (allowed: ${ALLOWED})\n")
      endif()
    endif()
  endforeach()
endforeach()
if(violations)
  message(FATAL_ERROR "Include against the layer graph:\n${violations}")
endif()
file(WRITE ${STAMP} "")
