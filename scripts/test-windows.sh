#!/usr/bin/env bash
# The Windows build, from Debian: MinGW-w64 cross-builds Vistorb.dll, vistorb-host.exe and the
# test suite into build/windows; Wine runs the suite, the README example and the demo.
# Usage: test-windows.sh [extra ctest arguments...]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
build="$root/build/windows"
jobs="${VISTORB_JOBS:-2}"

started=$SECONDS

# The cross compiler and Wine, from the machine's own package sources.
# shellcheck source=packages.sh
source "$root/scripts/packages.sh"
install_missing_packages test-windows "${vistorb_windows_packages[@]}"

# The Linux set-up: build tools, header-only libraries, GoogleTest sources, Dear ImGui 1.86.
bash "$root/scripts/setup.sh"
imgui_dir="${VISTORB_IMGUI_DIR:-$root/third_party/imgui-1.86}"
[ -f "$imgui_dir/imgui.h" ] || { echo "test-windows: no Dear ImGui 1.86 sources in $imgui_dir" >&2; exit 1; }

# A Wine prefix of the build tree's own, made quietly before anything runs in it.
export WINEPREFIX="$build/wine-prefix" WINEDEBUG=-all
wine_cmd="$(command -v wine64 || command -v wine)"
mkdir -p "$build"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "test-windows: making the Wine prefix"
  wineboot --init >/dev/null 2>&1 || true
  wineserver --wait || true
fi

echo "=== Windows build (MinGW-w64, the preset windows) ==="
VISTORB_JOBS="$jobs" bash "$root/scripts/build.sh" windows -DIMGUI_DIR="$imgui_dir"

# The export and import tables of the plugin libraries, by the check the Visual Studio build
# gets on its runner (scripts/check-dll-tables.py): Vistorb.dll exports the description record,
# the two entry points and the SDK's plugin base (declared for export by the SDK header),
# nothing else, and needs no MinGW runtime DLL; VistorbTesting.dll adds its diagnostic function.
check_tables() {  # check_tables LIBRARY [--export NAME]...
  local library="$1"; shift
  echo "=== export and import tables of $library ==="
  x86_64-w64-mingw32-objdump -p "$build/$library" >"$build/$library.tables"
  python3 "$root/scripts/check-dll-tables.py" "$build/$library.tables" --runtime mingw "$@"
}
check_tables Vistorb.dll
check_tables VistorbTesting.dll --export VistorbDiagnosticState
if x86_64-w64-mingw32-objdump -p "$build/vistorb-host.exe" | grep -i 'DLL Name' |
   grep -i -e libstdc -e libgcc -e winpthread; then
  echo "test-windows: vistorb-host.exe still needs a MinGW runtime DLL" >&2
  exit 1
fi

echo "=== tests under Wine ==="
ctest --preset windows -j "$jobs" "$@"

echo "=== README example and demo through vistorb-host.exe under Wine ==="
run_host() {  # run_host NAME ARGUMENTS...: the output goes to build/windows/NAME.out
  local name="$1"; shift
  if ! "$wine_cmd" "$build/vistorb-host.exe" "$@" >"$build/$name.out" 2>&1; then
    cat "$build/$name.out"
    echo "test-windows: $name failed" >&2
    exit 1
  fi
}
run_host readme-example --script "$root/tests/data/scripts/readme-example.vsim"
run_host demo --demo
grep -q '^== demo done ==' "$build/demo.out" || { echo "test-windows: the demo did not finish" >&2; exit 1; }
tail -n 3 "$build/demo.out"
echo "test-windows: all passed in $((SECONDS - started)) s"
