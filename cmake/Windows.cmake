# The build for the host's platform (64-bit Windows), cross-compiled with MinGW-w64
# (cmake/mingw-w64.cmake) and tested under Wine. Included by the top-level CMakeLists.txt in
# place of the package look-ups, before any target is made.
#
# What differs from the Linux build:
# - fmt (header-only) and nlohmann-json come from the build machine's headers; only their own
#   folders are put on the include path, never the build machine's whole /usr/include;
# - GoogleTest is built for the target from Debian's sources;
# - the simulator has no SDL window mode (no SDL or OpenGL for the target): vistorb_sim_window
#   and the tests that open a window are not built; the headless GUI host is all there is;
# - everything links the compiler's runtime statically, so no MinGW DLL must travel along;
# - a plugin library's export table is set by a .def file (plugin/exports.def.in), not a
#   version script;
# - the fault tests are not built: they need libfiu's POSIX preload library and SIGKILL.

set(VISTORB_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources to build for the target")

# Header-only libraries. From a Linux host: a folder that links to just their headers. A
# Windows host makes no link (that needs Developer Mode or an elevated prompt there): its MinGW
# prefix keeps the headers in a folder of their own, found as it is.
if(CMAKE_HOST_WIN32)
  find_path(VISTORB_FMT_INCLUDE fmt/format.h REQUIRED)
  find_path(VISTORB_JSON_INCLUDE nlohmann/json.hpp REQUIRED)
  set(vistorb_headers ${VISTORB_FMT_INCLUDE} ${VISTORB_JSON_INCLUDE})
  list(REMOVE_DUPLICATES vistorb_headers)
else()
  set(vistorb_headers ${CMAKE_BINARY_DIR}/_host_headers)
  file(MAKE_DIRECTORY ${vistorb_headers})
  foreach(dir fmt nlohmann)
    if(NOT EXISTS /usr/include/${dir})
      message(FATAL_ERROR "/usr/include/${dir} is missing: run scripts/setup.sh first")
    endif()
    if(NOT EXISTS ${vistorb_headers}/${dir})
      file(CREATE_LINK /usr/include/${dir} ${vistorb_headers}/${dir} SYMBOLIC)
    endif()
  endforeach()
endif()
add_library(fmt::fmt-header-only INTERFACE IMPORTED GLOBAL)
target_include_directories(fmt::fmt-header-only SYSTEM INTERFACE ${vistorb_headers})
target_compile_definitions(fmt::fmt-header-only INTERFACE FMT_HEADER_ONLY=1)
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED GLOBAL)
target_include_directories(nlohmann_json::nlohmann_json SYSTEM INTERFACE ${vistorb_headers})

# GoogleTest for the target; its own build names its libraries GTest::gtest and so on.
if(NOT VISTORB_FOR_HOST)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(${VISTORB_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  foreach(lib gtest gmock gtest_main)
    target_compile_options(${lib} PRIVATE -w)
  endforeach()
endif()

# The compiler's runtime (libgcc, libstdc++, winpthread) goes into every program and library,
# so none of them needs a MinGW DLL beside it. Set before the folders are added, so that every
# one of them inherits it.
foreach(kind EXE SHARED MODULE)
  string(APPEND CMAKE_${kind}_LINKER_FLAGS " -static")
endforeach()

# The tests find the plugin, the simulator and their data through the build machine's paths
# written into them: under Wine a path from the root is one on drive Z:, so they work as they are.
