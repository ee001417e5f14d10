# Each library sees only what its layer may use. The sources include headers by
# their path from the repository root ("engine/engine.h"), but no target gets
# the root itself as an include path:
# - a library's own folder reaches its sources through a private staging folder
#   that holds one link, <folder> -> the source folder, so "engine/text_scan.h"
#   resolves inside engine/ and "tools/buffer.h" resolves nowhere;
# - what other targets may include is a public staging folder holding links to
#   the listed public headers only.
# So `#include "tools/buffer.h"` in engine/, or an implementation header of the
# platform in ui/, fails to compile instead of building quietly.

set(MORVANE_LAYERS_DIR ${CMAKE_BINARY_DIR}/layers)

function(morvane_stage_link link target)
  get_filename_component(parent ${link} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  if(NOT EXISTS ${link})
    file(CREATE_LINK ${target} ${link} SYMBOLIC COPY_ON_ERROR)
  endif()
endfunction()

# morvane_layer(<target> FOLDER <folder> [PUBLIC_HEADERS <header relative to folder>...])
function(morvane_layer target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "FOLDER" "PUBLIC_HEADERS")
  set(private_dir ${MORVANE_LAYERS_DIR}/${target}/private)
  morvane_stage_link(${private_dir}/${arg_FOLDER} ${PROJECT_SOURCE_DIR}/${arg_FOLDER})
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    set(own INTERFACE)
  else()
    target_include_directories(${target} PRIVATE ${private_dir})
    set(own PUBLIC)
  endif()
  if(arg_PUBLIC_HEADERS)
    set(public_dir ${MORVANE_LAYERS_DIR}/${target}/public)
    foreach(header ${arg_PUBLIC_HEADERS})
      morvane_stage_link(${public_dir}/${arg_FOLDER}/${header} ${PROJECT_SOURCE_DIR}/${arg_FOLDER}/${header})
    endforeach()
    target_include_directories(${target} ${own} ${public_dir})
  endif()
endfunction()
