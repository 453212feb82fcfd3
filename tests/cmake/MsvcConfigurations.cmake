# The MSVC build's configurations (cmake/MSVC.cmake), in CMake's script mode: Release and
# RelWithDebInfo are accepted; anything else, CMake's own default list for Visual Studio
# included, ends the configure with the one line that says why.
#
# Usage: cmake -P tests/cmake/MsvcConfigurations.cmake
cmake_minimum_required(VERSION 3.20)
get_filename_component(repo "${CMAKE_CURRENT_LIST_DIR}/../.." ABSOLUTE)

if(DEFINED CASE_MULTI)  # one case, run as its own script by the loop below
  include("${repo}/cmake/MSVC.cmake")
  string(REPLACE "," ";" types "${CASE_TYPES}")
  vistorb_msvc_refuse_other_configurations("${CASE_MULTI}" "${types}" "${CASE_BUILD_TYPE}")
  message(STATUS "accepted")
  return()
endif()

# generator kind | CMAKE_CONFIGURATION_TYPES | CMAKE_BUILD_TYPE | outcome
set(cases
  "multi|Release,RelWithDebInfo||accepted"
  "multi|Release||accepted"
  "multi|Debug,Release,MinSizeRel,RelWithDebInfo||refused"
  "multi|Debug||refused"
  "multi|||refused"
  "single||Release|accepted"
  "single||RelWithDebInfo|accepted"
  "single||Debug|refused"
  "single||MinSizeRel|refused"
  "single|||refused")
set(errors "")
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" fields "${case}")
  list(GET fields 0 kind)
  list(GET fields 1 types)
  list(GET fields 2 build_type)
  list(GET fields 3 expected)
  if(kind STREQUAL "multi")
    set(multi 1)
    set(variable CMAKE_CONFIGURATION_TYPES)
  else()
    set(multi 0)
    set(variable CMAKE_BUILD_TYPE)
  endif()
  execute_process(COMMAND "${CMAKE_COMMAND}" -DCASE_MULTI=${multi} "-DCASE_TYPES=${types}"
    "-DCASE_BUILD_TYPE=${build_type}" -P "${CMAKE_CURRENT_LIST_FILE}"
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
  string(REGEX REPLACE "[ \n]+" " " out "${out}")
  if(expected STREQUAL "accepted")
    set(ok FALSE)
    if(status EQUAL 0 AND out MATCHES "-- accepted")
      set(ok TRUE)
    endif()
  else()
    set(ok FALSE)
    if(NOT status EQUAL 0 AND out MATCHES "Vistorb.dll is built only as Release or RelWithDebInfo, not ${variable}="
       AND out MATCHES "changes std::string's layout")
      set(ok TRUE)
    endif()
  endif()
  if(NOT ok)
    list(APPEND errors "${case}: status ${status}: ${out}")
  endif()
endforeach()

if(errors)
  list(JOIN errors "\n  " errors)
  message(FATAL_ERROR "MsvcConfigurations:\n  ${errors}")
endif()
list(LENGTH cases count)
message(STATUS "MsvcConfigurations: all ${count} cases as they must be")
