# halvane_add_resource_table(<target> FILES <file>...)
# An object library holding the given resource files where FindModuleResource (platform/ModuleResources.h)
# finds them. Files are named <id>_<name>.<type>. Link it directly into the binary whose resources these
# are (objects, so link order cannot drop it). On Windows it is a generated resource script, so the files
# land in the binary's own resource section; elsewhere a generated table of their bytes.
function(halvane_add_resource_table target)
  cmake_parse_arguments(R "" "" "FILES" ${ARGN})
  if(WIN32)
    set(output "${CMAKE_CURRENT_BINARY_DIR}/${target}.rc")
    set(content "// Generated from the resource files; do not edit.\n")
    foreach(file IN LISTS R_FILES)
      get_filename_component(name "${file}" NAME)
      if(NOT name MATCHES "^([0-9]+)_.*\\.([A-Za-z0-9]+)$")
        message(FATAL_ERROR "resource file ${name} is not named <id>_<name>.<type>")
      endif()
      string(TOUPPER "${CMAKE_MATCH_2}" type)
      string(APPEND content "${CMAKE_MATCH_1} ${type} \"${file}\"\n")
    endforeach()
    # Rewritten only on change, so an unchanged script does not relink.
    set(old "")
    if(EXISTS "${output}")
      file(READ "${output}" old)
    endif()
    if(NOT old STREQUAL content)
      file(WRITE "${output}" "${content}")
    endif()
    add_library(${target} OBJECT "${output}")
    set_property(SOURCE "${output}" APPEND PROPERTY OBJECT_DEPENDS ${R_FILES})
    target_link_libraries(${target} PUBLIC halvane_platform)
    return()
  endif()

  set(output "${CMAKE_CURRENT_BINARY_DIR}/${target}_table.cpp")
  # A list cannot pass through a command line intact; the script splits at '|' again.
  string(REPLACE ";" "|" files "${R_FILES}")
  add_custom_command(
    OUTPUT "${output}"
    COMMAND ${CMAKE_COMMAND} "-DOUTPUT=${output}" "-DFILES=${files}"
            -P "${PROJECT_SOURCE_DIR}/cmake/GenerateResourceTable.cmake"
    DEPENDS ${R_FILES} "${PROJECT_SOURCE_DIR}/cmake/GenerateResourceTable.cmake"
    COMMENT "Resource table ${target}"
    VERBATIM)
  add_library(${target} OBJECT "${output}")
  target_link_libraries(${target} PUBLIC halvane_platform)
  set_target_properties(${target} PROPERTIES CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
endfunction()
