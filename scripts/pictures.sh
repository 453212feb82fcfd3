#!/usr/bin/env bash
# Makes every picture under docs/ again, from the simulator alone:
#   docs/camera-override-off.png, docs/camera-override-on.png  the demo's camera view of Cap,
#                                                              override off, then on
#   docs/live-window.png   the whole screen of vistorb-host --gui window (scripts/pictures.vsim)
#   docs/window.png        the plugin's window alone, from the same screen
# The same sources give the same pictures: the demo and the script step the game themselves,
# and both run under a virtual display of a fixed size (xvfb-run), where no pointer moves.
# Builds build/release first when its simulator is missing; VISTORB_BUILD names another build.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VISTORB_BUILD:-$root/build/release}"
[ -x "$build/vistorb-host" ] || bash "$root/scripts/build.sh" release
out="$(mktemp -d)"
# The console shows the preset folder's path: one fixed place, so that the picture is the same.
data="${TMPDIR:-/tmp}/vistorb-pictures-data"
rm -rf "$data"
trap 'rm -rf "$out" "$data"' EXIT

display() {
  if command -v xvfb-run >/dev/null; then
    xvfb-run -a -s "-screen 0 1600x900x24" "$@"
  elif [ -n "${DISPLAY:-}" ]; then
    "$@"
  else
    echo "pictures.sh: no display and no xvfb-run (Debian package xvfb)" >&2
    return 1
  fi
}

host=("$build/vistorb-host" --plugin "$build/VistorbTesting.so")
display "${host[@]}" --demo --screenshots "$out/demo" >"$out/demo.log"
display "${host[@]}" --gui window --data "$data" --script "$root/scripts/pictures.vsim" \
  --screenshots "$out/screen" >"$out/screen.log"

install -m 644 "$out/demo/4-camera-override-off.png" "$root/docs/camera-override-off.png"
install -m 644 "$out/demo/5-camera-override-on.png" "$root/docs/camera-override-on.png"
install -m 644 "$out/screen/live-window.png" "$root/docs/live-window.png"
install -m 644 "$out/screen/window.png" "$root/docs/window.png"
echo "pictures.sh: wrote docs/camera-override-off.png, docs/camera-override-on.png, docs/live-window.png, docs/window.png"
