# Dear ImGui, built three times from the same sources:
#   imgui_host            the host's copy (the simulator and the tests), with the item hooks;
#   imgui_plugin          the released plugin's private copy: no hooks, since a real host may use
#                         the context's test-engine slot for something else;
#   imgui_plugin_testing  the testing plugin's private copy, with the hooks, so that the host's
#                         recorder sees the plugin's widgets too.
# The hooks change no struct layout, so every copy matches the host's context.
# IMGUI_DIR is either Debian's 1.86 or the host's own 1.75 (which has no tables yet).
set(IMGUI_SOURCES ${IMGUI_DIR}/imgui.cpp ${IMGUI_DIR}/imgui_draw.cpp ${IMGUI_DIR}/imgui_widgets.cpp)
if(EXISTS ${IMGUI_DIR}/imgui_tables.cpp)
  list(APPEND IMGUI_SOURCES ${IMGUI_DIR}/imgui_tables.cpp)
endif()
file(STRINGS ${IMGUI_DIR}/imgui.h imgui_version REGEX "^#define IMGUI_VERSION +\"")
message(STATUS "Dear ImGui: ${imgui_version} from ${IMGUI_DIR}")

# The headers alone, for code that draws but leaves the choice of copy to whoever links it.
add_library(imgui_headers INTERFACE)
target_include_directories(imgui_headers SYSTEM INTERFACE ${IMGUI_DIR})

# The hooks and the recorder interface they forward to (testing/).
add_library(vistorb_testing_hooks INTERFACE)
vistorb_include_root(vistorb_testing_hooks testing)

foreach(copy host plugin plugin_testing)
  add_library(imgui_${copy} STATIC ${IMGUI_SOURCES})
  target_link_libraries(imgui_${copy} PUBLIC imgui_headers)
  target_compile_options(imgui_${copy} PRIVATE -w)
endforeach()
foreach(copy host plugin_testing)
  target_sources(imgui_${copy} PRIVATE ${CMAKE_SOURCE_DIR}/testing/ImGuiItemHooks.cpp)
  target_link_libraries(imgui_${copy} PRIVATE vistorb_testing_hooks)
  target_compile_definitions(imgui_${copy} PUBLIC IMGUI_ENABLE_TEST_ENGINE)
endforeach()
foreach(copy plugin plugin_testing)
  set_target_properties(imgui_${copy} PROPERTIES CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
  target_compile_options(imgui_${copy} PRIVATE ${VISTORB_PLUGIN_FLAGS})
endforeach()
