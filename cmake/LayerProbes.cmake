# Proof that the layers hold: for each layer, one probe that includes a header of a layer above
# it must fail to compile for want of that header, and one that includes a header of a layer
# below must compile. The probes are built only by these tests (serially: they run the build
# tool on this tree). A Windows host gives every layer the repository root (no links there, see
# cmake/VistorbLayers.cmake), so the probes are made only where the layers have roots of their own.
if(CMAKE_HOST_WIN32)
  return()
endif()
set(VISTORB_LAYER_PROBES
  "vistorb_host_sdk|core/LogLine.h|bakkesmod/wrappers/GameWrapper.h"
  "vistorb_corelib|presets/CameraPreset.h|bakkesmod/wrappers/cvarmanagerwrapper.h"
  "vistorb_presets|camera/Roster.h|core/CameraValues.h"
  "vistorb_camera|gui/Sliders.h|core/Guarded.h"
  "vistorb_gui|plugin/Vistorb.h|presets/PresetStore.h"
  "vistorb_sim|plugin/Vistorb.h|sdkhost/HostBinding.h"
  # The simulator's rooms: game <- loader <- screen <- guihost <- script, window; base under all.
  "vistorb_sim_base|sim/game/Host.h|fmt/format.h"
  "vistorb_sim_game|sim/loader/Loader.h|sim/base/Support.h"
  "vistorb_sim_loader|sim/screen/HostScreen.h|sim/game/Host.h"
  "vistorb_sim_screen|sim/guihost/GuiHost.h|sim/loader/State.h"
  "vistorb_sim_guihost|sim/script/Script.h|sim/screen/HostScreen.h"
  "vistorb_sim_script|sim/window/GuiWindow.h|sim/guihost/GuiHost.h"
  # The plugin sees the SDK's headers only, never what a host adds to run it.
  "vistorb_plugin|sdkhost/HostBinding.h|bakkesmod/plugin/bakkesmodplugin.h")
if(TARGET vistorb_sim_window)
  list(APPEND VISTORB_LAYER_PROBES "vistorb_sim_window|sim/script/Script.h|sim/guihost/GuiHost.h")
endif()
foreach(probe ${VISTORB_LAYER_PROBES})
  string(REPLACE "|" ";" probe "${probe}")
  list(GET probe 0 layer)
  list(GET probe 1 above)
  list(GET probe 2 below)
  foreach(kind above below)
    set(source "${CMAKE_BINARY_DIR}/layer_probes/${layer}_${kind}.cpp")
    file(WRITE "${source}.in" "#include \"${${kind}}\"\nint ${layer}_${kind}_probe() { return 0; }\n")
    configure_file("${source}.in" "${source}" COPYONLY)  # rewritten only when it changes
    add_library(probe_${layer}_${kind} OBJECT EXCLUDE_FROM_ALL "${source}")
    target_link_libraries(probe_${layer}_${kind} PRIVATE ${layer})
    add_test(NAME Layers.${layer}_includes_${kind}
      COMMAND ${CMAKE_COMMAND} --build ${CMAKE_BINARY_DIR} --target probe_${layer}_${kind})
    set_tests_properties(Layers.${layer}_includes_${kind} PROPERTIES RUN_SERIAL TRUE LABELS layers)
  endforeach()
  string(REGEX REPLACE "([.+])" "\\\\\\1" pattern "${above}")
  set_tests_properties(Layers.${layer}_includes_above PROPERTIES
    PASS_REGULAR_EXPRESSION "(${pattern}: No such file or directory|'${pattern}' file not found)")
endforeach()
