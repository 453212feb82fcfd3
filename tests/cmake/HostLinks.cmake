# The build's symbolic links, with the host faked: cmake/VistorbLayers.cmake (the layers'
# include roots) and cmake/Windows.cmake (the MinGW build's header folders) run in CMake's script
# mode, once as a Windows host, which must make no link (an ordinary prompt cannot), and once as
# a Linux host, which makes them as the layering needs. No other CMake file may make a link.
#
# Usage: cmake -DWORK=<an empty scratch folder> -P tests/cmake/HostLinks.cmake
cmake_minimum_required(VERSION 3.20)
get_filename_component(repo "${CMAKE_CURRENT_LIST_DIR}/../.." ABSOLUTE)
if(NOT WORK)
  message(FATAL_ERROR "HostLinks: give -DWORK=<an empty scratch folder>")
endif()

# Every link is recorded as it is made; what script mode cannot run records its arguments.
function(file)
  if(ARGV0 STREQUAL "CREATE_LINK")
    set_property(GLOBAL APPEND PROPERTY made_links "${ARGV2}")
  endif()
  _file(${ARGV})
endfunction()
function(add_library name)
endfunction()
function(target_include_directories name)
  list(FILTER ARGN EXCLUDE REGEX "^(SYSTEM|INTERFACE|PUBLIC|PRIVATE)$")
  set_property(GLOBAL PROPERTY "includes_${name}" ${ARGN})
endfunction()
function(target_compile_definitions)
endfunction()

set(errors "")
macro(fail text)
  list(APPEND errors "${host} host: ${text}")
endmacro()

set(CMAKE_SOURCE_DIR "${repo}")
set(VISTORB_FOR_HOST ON)  # no GoogleTest to build
include("${repo}/cmake/VistorbLayers.cmake")
# A MinGW prefix of a Windows host keeps fmt and nlohmann-json in one include folder.
set(prefix_include "${WORK}/mingw-prefix/include")
_file(WRITE "${prefix_include}/fmt/format.h" "")
_file(WRITE "${prefix_include}/nlohmann/json.hpp" "")
set(CMAKE_INCLUDE_PATH "${prefix_include}")

foreach(host Windows Linux)
  set(CMAKE_BINARY_DIR "${WORK}/${host}")
  _file(MAKE_DIRECTORY "${CMAKE_BINARY_DIR}")
  set_property(GLOBAL PROPERTY made_links "")
  if(host STREQUAL "Windows")
    set(CMAKE_HOST_WIN32 1)
  else()
    set(CMAKE_HOST_WIN32 0)
  endif()

  foreach(folder host core presets camera gui plugin testing sim/game)
    vistorb_layer_root(${folder} root)
    if(host STREQUAL "Windows" AND NOT root STREQUAL repo)
      fail("${folder} includes from ${root}, not the repository root")
    elseif(host STREQUAL "Linux" AND NOT (root STREQUAL "${CMAKE_BINARY_DIR}/include_roots/${folder}"
                                          AND IS_SYMLINK "${root}/${folder}"))
      fail("${folder} has no root of its own holding a link to its folder: ${root}")
    endif()
  endforeach()

  include("${repo}/cmake/Windows.cmake")
  get_property(fmt_includes GLOBAL PROPERTY "includes_fmt::fmt-header-only")
  get_property(links GLOBAL PROPERTY made_links)
  _file(GLOB_RECURSE made LIST_DIRECTORIES true "${CMAKE_BINARY_DIR}/*")
  list(LENGTH links count)
  if(host STREQUAL "Windows")
    if(links OR made)
      fail("links made: ${links}; the build tree got: ${made}")
    endif()
    if(NOT fmt_includes STREQUAL prefix_include)
      fail("fmt's headers come from ${fmt_includes}, not the prefix's include folder")
    endif()
  elseif(NOT count EQUAL 10 OR NOT IS_SYMLINK "${fmt_includes}/fmt")
    # eight layer roots and the two header folders
    fail("${count} links made (${links}); fmt's headers from ${fmt_includes}")
  endif()
endforeach()

# Only the two files checked above make links.
_file(GLOB_RECURSE cmake_files RELATIVE "${repo}" "${repo}/CMakeLists.txt" "${repo}/*/CMakeLists.txt"
  "${repo}/*.cmake")
list(FILTER cmake_files EXCLUDE REGEX "^(build|out|third_party|tests/cmake)/")
foreach(name ${cmake_files})
  _file(READ "${repo}/${name}" text)
  if(text MATCHES "CREATE_LINK" AND NOT name MATCHES "^cmake/(VistorbLayers|Windows)\\.cmake$")
    set(host "any")
    list(APPEND errors "${name} makes a link, and no test shows a Windows host does without it")
  endif()
endforeach()

if(errors)
  list(JOIN errors "\n  " errors)
  message(FATAL_ERROR "HostLinks:\n  ${errors}")
endif()
message(STATUS "HostLinks: a Windows host makes no link, a Linux host makes all ten")
