# cmake -DOUTPUT=table.cpp -DFILES="a;b" -P GenerateResourceTable.cmake
# Writes a C++ source holding each file's bytes and a table mapping (type, id) to them. A file is named
# <id>_<anything>.<type>: 100_bg.png is resource 100 of type "PNG".
if(NOT OUTPUT)
  message(FATAL_ERROR "OUTPUT not set")
endif()

string(REPLACE "|" ";" FILES "${FILES}")
set(arrays "")
set(rows "")
set(count 0)
foreach(file IN LISTS FILES)
  get_filename_component(name "${file}" NAME)
  if(NOT name MATCHES "^([0-9]+)_.*\\.([A-Za-z0-9]+)$")
    message(FATAL_ERROR "resource file ${name} is not named <id>_<name>.<type>")
  endif()
  set(id "${CMAKE_MATCH_1}")
  string(TOUPPER "${CMAKE_MATCH_2}" type)
  file(READ "${file}" hex HEX)
  string(LENGTH "${hex}" hexLength)
  math(EXPR size "${hexLength} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "((0x..,){24})" "\\1\n    " bytes "${bytes}")
  string(APPEND arrays "// ${name}\nconst unsigned char kResource${count}[] = {\n    ${bytes}\n};\n\n")
  string(APPEND rows "    {\"${type}\", ${id}, kResource${count}, ${size}},\n")
  math(EXPR count "${count} + 1")
endforeach()

if(count EQUAL 0)
  set(tableBody "const ModuleResourceEntry* kTable = nullptr;\n")
else()
  set(tableBody "const ModuleResourceEntry kTable[] = {\n${rows}};\n")
endif()

set(content "// Generated at build time from the module's resource files; do not edit.\n
#include \"ModuleResources.h\"\n
namespace {\n
${arrays}${tableBody}
}  // namespace\n
const ModuleResourceEntry* LinkedModuleResources(std::size_t* count) {
    if (count) *count = ${count};
    return kTable;
}
")
# Rewrite only on change, so an unchanged table does not relink everything.
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" old)
  if(old STREQUAL content)
    return()
  endif()
endif()
file(WRITE "${OUTPUT}" "${content}")
