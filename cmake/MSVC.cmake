# The plugin library built by Visual Studio for the real host: what ships. Included by the
# top-level CMakeLists.txt with MSVC only, before any target is made.
#
# The host's pluginsdk.dll is a Release build with the DLL runtime (/MD). The plugin shares
# std::string and std::shared_ptr with it across the DLL boundary, so it must be built the same
# way: a Debug runtime (/MDd, _ITERATOR_DEBUG_LEVEL=2) gives std::string another size and
# another heap, links without complaint against the import library, and corrupts memory at the
# first call that hands a string over.
set(VISTORB_MSVC_CONFIGURATIONS Release RelWithDebInfo)

# Stops the configure with one line unless every configuration the build can make is one of
# VISTORB_MSVC_CONFIGURATIONS: CMAKE_CONFIGURATION_TYPES for a multi-configuration generator
# (Visual Studio's), CMAKE_BUILD_TYPE for the others (Ninja).
function(vistorb_msvc_refuse_other_configurations multi_config configuration_types build_type)
  if(multi_config)
    set(variable CMAKE_CONFIGURATION_TYPES)
    set(chosen ${configuration_types})
  else()
    set(variable CMAKE_BUILD_TYPE)
    set(chosen "${build_type}")
  endif()
  set(refused "${chosen}")
  list(REMOVE_ITEM refused ${VISTORB_MSVC_CONFIGURATIONS})
  if(refused OR "${chosen}" STREQUAL "")
    string(REPLACE ";" "," shown "${chosen}")
    message(FATAL_ERROR "Vistorb.dll is built only as Release or RelWithDebInfo, not "
      "${variable}='${shown}': the host's pluginsdk.dll uses the Release runtime (/MD), and a "
      "Debug one changes std::string's layout across the DLL boundary (use the preset "
      "windows-msvc, or -D${variable}=Release)")
  endif()
endfunction()

# The options and definitions of every piece of the plugin library.
macro(vistorb_msvc_plugin_settings)
  set(CMAKE_MSVC_RUNTIME_LIBRARY MultiThreadedDLL)
  # Since Visual Studio 17.10 std::mutex has a constexpr constructor that only a matching
  # msvcp140.dll understands; a game process that already carries an older one crashes on the
  # first lock() (the tick hook, the first GUI frame). The macro keeps the old constructor.
  add_compile_definitions(_DISABLE_CONSTEXPR_MUTEX_CONSTRUCTOR)
  # /utf-8: the sources and fmt's format strings are UTF-8. /EHsc: standard C++ exceptions.
  # /permissive-: the SDK's headers the plugin includes are standard C++ apart from one repeated
  # explicit instantiation (ArrayWrapper<wchar_t>, in arraywrapper.h and UnrealStringWrapper.h),
  # which MSVC only warns about in either mode (GCC needs -fpermissive for it).
  add_compile_options($<$<COMPILE_LANGUAGE:CXX>:/utf-8> $<$<COMPILE_LANGUAGE:CXX>:/EHsc>
    $<$<COMPILE_LANGUAGE:CXX>:/permissive->)
endmacro()
