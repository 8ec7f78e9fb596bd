# orv_library(NAME DIRS dir... DEPS lib... DEFINES def...): a static library made of every .cpp below the given folders.
# Globbing keeps each folder's CMake untouched when a file is added. Each library is a layer: its files may include
# headers of its own folders and of the orv_ libraries it depends on, directly or not, and nothing above; the
# check runs at build time (orv_check_layers), so an upward include fails the build.
function(orv_library name)
  cmake_parse_arguments(ARG "" "" "DIRS;DEPS;DEFINES" ${ARGN})
  set(sources)
  set(folders)
  foreach(dir IN LISTS ARG_DIRS)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp)
    list(APPEND sources ${found})
    get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR}/${dir} ABSOLUTE)
    list(APPEND folders ${folder})
  endforeach()
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
    target_compile_definitions(${name} PUBLIC ${ARG_DEFINES})
  else()
    # Nothing written yet: headers only.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
    target_compile_definitions(${name} INTERFACE ${ARG_DEFINES})
  endif()
  orv_add_layer(${name} FOLDERS ${folders} DEPS ${ARG_DEPS})
endfunction()

# orv_add_layer(NAME FOLDERS abs-folder... DEPS lib...): records a target's folders and the orv_ libraries below it
# for orv_check_layers. orv_library calls it; a target made otherwise (an executable) may call it too.
function(orv_add_layer name)
  cmake_parse_arguments(ARG "" "" "FOLDERS;DEPS" ${ARGN})
  set(below)
  foreach(dep IN LISTS ARG_DEPS)
    get_property(known GLOBAL PROPERTY ORV_LAYER_FOLDERS_${dep} SET)
    if(known)
      get_property(dep_below GLOBAL PROPERTY ORV_LAYER_BELOW_${dep})
      list(APPEND below ${dep} ${dep_below})
    endif()
  endforeach()
  list(REMOVE_DUPLICATES below)
  set_property(GLOBAL PROPERTY ORV_LAYER_FOLDERS_${name} ${ARG_FOLDERS})
  set_property(GLOBAL PROPERTY ORV_LAYER_BELOW_${name} ${below})
  set_property(GLOBAL APPEND PROPERTY ORV_LAYERS ${name})
endfunction()

# Called once after every layer is defined: each layer gets a build step that reads the quoted includes of its
# files and fails on a header whose folder belongs to a layer that is not below it.
function(orv_check_layers)
  get_property(layers GLOBAL PROPERTY ORV_LAYERS)
  set(owners)
  foreach(layer IN LISTS layers)
    get_property(folders GLOBAL PROPERTY ORV_LAYER_FOLDERS_${layer})
    foreach(folder IN LISTS folders)
      file(RELATIVE_PATH relative ${PROJECT_SOURCE_DIR} ${folder})
      list(APPEND owners "${relative}=${layer}")
    endforeach()
  endforeach()
  string(REPLACE ";" "|" owners_arg "${owners}")
  foreach(layer IN LISTS layers)
    get_property(folders GLOBAL PROPERTY ORV_LAYER_FOLDERS_${layer})
    get_property(below GLOBAL PROPERTY ORV_LAYER_BELOW_${layer})
    set(files)
    foreach(folder IN LISTS folders)
      file(GLOB_RECURSE found CONFIGURE_DEPENDS ${folder}/*.cpp ${folder}/*.h)
      list(APPEND files ${found})
    endforeach()
    if(NOT files)
      continue()
    endif()
    string(REPLACE ";" "|" files_arg "${files}")
    string(REPLACE ";" "|" allowed_arg "${layer};${below}")
    set(stamp ${CMAKE_BINARY_DIR}/layers/${layer}.checked)
    add_custom_command(
      OUTPUT ${stamp}
      COMMAND ${CMAKE_COMMAND} -DROOT=${PROJECT_SOURCE_DIR} -DLAYER=${layer} "-DALLOWED=${allowed_arg}"
              "-DOWNERS=${owners_arg}" "-DFILES=${files_arg}" -DSTAMP=${stamp}
              -P ${PROJECT_SOURCE_DIR}/cmake/check_layers.cmake
      DEPENDS ${files} ${PROJECT_SOURCE_DIR}/cmake/check_layers.cmake
      COMMENT "Checking the includes of ${layer}"
      VERBATIM)
    add_custom_target(${layer}_layer_check DEPENDS ${stamp})
    add_dependencies(${layer} ${layer}_layer_check)
  endforeach()
endfunction()

# orv_test(NAME DIR DEPS ...): one GoogleTest executable of every .cpp in tests/DIR, registered with CTest.
function(orv_test name dir)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE ORV_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT "ORV_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()
