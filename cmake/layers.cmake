# orv_layer(NAME FOLDER dir DEPS lib...): a static library of every .cpp below
# the project folder `dir` (e.g. engine/binder), for code built in stages that
# may only include downwards. The library's include path is a view of the
# project holding `dir` alone, and a library sees only its own view and those
# of the libraries it links; so `#include "dir/x.h"` compiles in `dir` and in
# whatever links it, and an include of a later stage fails to compile. Every
# header of `dir` is also compiled on its own under the same view
# (NAME_headers), so a header no source of `dir` includes is held to it too.
function(orv_layer name)
  cmake_parse_arguments(ARG "" "FOLDER" "DEPS" ${ARGN})
  set(view ${CMAKE_BINARY_DIR}/layers/${name})
  get_filename_component(parent ${view}/${ARG_FOLDER} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${ARG_FOLDER} ${view}/${ARG_FOLDER} SYMBOLIC)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${ARG_FOLDER}/*.cpp)
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${view})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})

  file(GLOB_RECURSE headers CONFIGURE_DEPENDS RELATIVE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/${ARG_FOLDER}/*.h)
  set(checks)
  foreach(header IN LISTS headers)
    set(check ${CMAKE_BINARY_DIR}/layers/header_checks/${header}.cpp)
    file(CONFIGURE OUTPUT ${check} CONTENT "#include \"${header}\"\n")
    list(APPEND checks ${check})
  endforeach()
  if(checks)
    add_library(${name}_headers OBJECT ${checks})
    target_link_libraries(${name}_headers PRIVATE ${name})
  endif()
endfunction()
