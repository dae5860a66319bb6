# The scene pictures, drawn from assets/: every assets/*.svg is one scene, and
# assets/parts/*.svg hold the drawings several scenes share (halls, figures,
# mist bands), which the picture tool takes with --parts.

# The scenes' names (ama, amai, …, shou), in order.
function(suirei_scene_names names)
  file(GLOB svgs CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/assets/*.svg)
  list(TRANSFORM svgs REPLACE "^.*/([^/]+)\\.svg$" "\\1")
  set(${names} ${svgs} PARENT_SCOPE)
endfunction()

# Every scene drawn by the picture tool `tool` (a target or a program) into
# `folder` as <name>.<ext>, each file by a rule of its own, with the tool's
# options after the function's arguments put before the scene; the files in
# `files`.
function(suirei_draw_scenes files tool folder ext)
  file(GLOB parts CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/assets/parts/*.svg)
  set(parts_args)
  foreach(part IN LISTS parts)
    list(APPEND parts_args --parts ${part})
  endforeach()
  suirei_scene_names(names)
  set(drawn)
  foreach(name IN LISTS names)
    set(scene ${PROJECT_SOURCE_DIR}/assets/${name}.svg)
    set(out ${folder}/${name}.${ext})
    add_custom_command(OUTPUT ${out}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
      COMMAND ${tool} ${parts_args} ${ARGN} ${scene} ${out}
      DEPENDS ${tool} ${scene} ${parts}
      COMMENT "Drawing ${name}.${ext}"
      VERBATIM)
    list(APPEND drawn ${out})
  endforeach()
  set(${files} ${drawn} PARENT_SCOPE)
endfunction()

# What a cross build (the browser's, Windows') takes from a native build of
# this game, since the picture and icon tools need Qt: the `files` named
# after FILES (paths inside a native build folder). With `given`, a native
# build folder, they are taken from there and must be there already;
# otherwise a native build of the TARGETS alone (no window, tests or
# benchmarks) is made in native/ of this build, and brought up to date on
# every build. The target `name` stands for them; `folder` is set to the
# native build folder.
function(suirei_native_build name given folder)
  cmake_parse_arguments(PARSE_ARGV 3 arg "" "" "FILES;TARGETS")
  if(given)
    foreach(file IN LISTS arg_FILES)
      if(NOT EXISTS ${given}/${file})
        message(FATAL_ERROR "${given}/${file} is missing: build the game there first")
      endif()
    endforeach()
    add_custom_target(${name})
    set(${folder} ${given} PARENT_SCOPE)
    return()
  endif()
  set(native ${CMAKE_BINARY_DIR}/native)
  list(TRANSFORM arg_FILES PREPEND ${native}/ OUTPUT_VARIABLE made)
  include(ExternalProject)
  ExternalProject_Add(${name}
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${native}
    PREFIX ${CMAKE_CURRENT_BINARY_DIR}/native
    CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DSUIREI_WINDOW=OFF -DSUIREI_TESTS=OFF -DSUIREI_BENCH=OFF
    BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target ${arg_TARGETS} --parallel 2
    BUILD_ALWAYS ON
    BUILD_BYPRODUCTS ${made}
    INSTALL_COMMAND "")
  set(${folder} ${native} PARENT_SCOPE)
endfunction()
