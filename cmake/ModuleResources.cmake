# halvane_add_resource_table(<target> FILES <file>...)
# An object library holding the given resource files as the table that FindModuleResource
# (platform/ModuleResources.h) reads. Files are named <id>_<name>.<type>. Link it directly into the binary
# whose resources these are (objects, so link order cannot drop it); on Windows the module carries them
# through its .rc script instead.
function(halvane_add_resource_table target)
  cmake_parse_arguments(R "" "" "FILES" ${ARGN})
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
