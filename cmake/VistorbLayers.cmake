# The folders are the architecture: host <- core <- presets, camera <- gui <- plugin <- sim.
#
# Every folder's code includes its headers from the repository root ("camera/Roster.h"). On a
# Linux host a layer's target does not get that root, though: it gets an include root of its
# own, a folder in the build tree that holds one link, to the layer's own source folder. The
# roots of the layers it may use arrive only through what it links. So a header of a layer that
# a target does not link is simply not there, and an upward include fails to compile.
#
# A Windows host makes no link: a symbolic link there needs Developer Mode or an elevated
# prompt, and Visual Studio opens the folder from an ordinary one. Every layer includes from the
# repository root instead; the Linux builds are where the layering is enforced.

# Sets `out` to the include root of the layer in `folder`, making its link where one is used.
function(vistorb_layer_root folder out)
  if(CMAKE_HOST_WIN32)
    set(${out} "${CMAKE_SOURCE_DIR}" PARENT_SCOPE)
    return()
  endif()
  set(root "${CMAKE_BINARY_DIR}/include_roots/${folder}")
  if(NOT EXISTS "${root}/${folder}")
    get_filename_component(parent "${root}/${folder}" DIRECTORY)  # a room's folder is two deep
    file(MAKE_DIRECTORY "${parent}")
    file(CREATE_LINK "${CMAKE_SOURCE_DIR}/${folder}" "${root}/${folder}" SYMBOLIC)
  endif()
  set(${out} "${root}" PARENT_SCOPE)
endfunction()

function(vistorb_include_root target folder)
  vistorb_layer_root(${folder} root)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE "${root}")
  else()
    target_include_directories(${target} PUBLIC "${root}")
  endif()
endfunction()

# One layer of the plugin's code: its include root, and the flags every piece of the plugin
# library is built with.
function(vistorb_layer target folder)
  vistorb_include_root(${target} ${folder})
  # The plugin's own code: nothing of it is visible outside the plugin library, and GNU "unique"
  # symbols would pin the library in memory after dlclose (the host must be able to unload it).
  set_target_properties(${target} PROPERTIES CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
  target_compile_options(${target} PRIVATE ${VISTORB_PLUGIN_FLAGS})
  if(VISTORB_FUZZ)
    # Coverage feedback for the fuzzers comes from the plugin's own code.
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link)
  endif()
endfunction()
