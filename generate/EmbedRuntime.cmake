# Turns the runtime's JavaScript files into a C++ source holding their text,
# so that the program carries the same text that the tests lint and run.
#
#   cmake -DOUTPUT=file.cpp -DSECTIONS=core,pagesize,... -DSOURCE_DIR=dir -P EmbedRuntime.cmake
#
# Each section is SOURCE_DIR/<section>.js; the order of SECTIONS is the order
# in which pages carry them.
cmake_minimum_required(VERSION 3.25)

string(REPLACE "," ";" SECTIONS "${SECTIONS}")

set(delimiter "lumavine_js")
set(text "// Generated from generate/runtime/*.js by EmbedRuntime.cmake; edit those files instead.\n")
string(APPEND text "#include \"generate/RuntimeSource.h\"\n\nnamespace lumavine {\n\n")
string(APPEND text "const RuntimeSourceFile runtimeSourceFiles[] = {\n")
set(count 0)
foreach(section IN LISTS SECTIONS)
  file(READ "${SOURCE_DIR}/${section}.js" source)
  string(FIND "${source}" ")${delimiter}\"" clash)
  if(NOT clash EQUAL -1)
    message(FATAL_ERROR "${section}.js holds the raw string delimiter )${delimiter}\"")
  endif()
  string(APPEND text "    { u\"${section}\", R\"${delimiter}(${source})${delimiter}\" },\n")
  math(EXPR count "${count} + 1")
endforeach()
string(APPEND text "};\n\nconst size_t runtimeSourceFileCount = ${count};\n\n}\n")

# Only a changed text touches the output, so that an unchanged runtime does
# not rebuild what depends on it.
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" previous)
  if(previous STREQUAL text)
    return()
  endif()
endif()
file(WRITE "${OUTPUT}" "${text}")
