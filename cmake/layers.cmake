# The layers of the tree, enforced by the build.
#
# zephlora_layer(<target> FOLDER <folder> [USES <folder>...]) gives <target> an include path on
# which only its own folder and the folders it uses exist, under their usual names
# ("engine/engine.h", "platform/window.h"): a unit that includes a folder its layer does not use
# fails to compile, and one that calls into it fails to link, since the target links only what
# it declares. "platform" stands for the service headers in platform/ (not the back ends); a
# header's path ("platform/draw.h") stands for that header alone, for a layer that needs only a
# few; the back-end folders are named on their own.
function(zephlora_layer target)
  cmake_parse_arguments(L "" "FOLDER" "USES" ${ARGN})
  set(view ${CMAKE_BINARY_DIR}/layers/${target})
  file(REMOVE_RECURSE ${view})
  file(MAKE_DIRECTORY ${view}/platform)
  foreach(folder ${L_FOLDER} ${L_USES})
    if(folder MATCHES "\\.h$")
      get_filename_component(dir ${folder} DIRECTORY)
      file(MAKE_DIRECTORY ${view}/${dir})
      file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${view}/${folder} SYMBOLIC)
    elseif(folder STREQUAL "platform")
      file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/platform/*.h)
      foreach(header ${headers})
        get_filename_component(name ${header} NAME)
        file(CREATE_LINK ${header} ${view}/platform/${name} SYMBOLIC)
      endforeach()
    else()
      file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${view}/${folder} SYMBOLIC)
    endif()
  endforeach()
  target_include_directories(${target} PRIVATE ${view})
endfunction()
