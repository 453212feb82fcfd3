#!/usr/bin/env bash
# Set-up, build, then the simulator plays its built-in replay session with the plugin loaded.
# Screenshots of the settings page, the plugin window, the camera view with an override off and
# on, and the whole live window land in out/. The demo clicks the
# plugin's widgets, so it loads the testing library, whose widgets the GUI host can find.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" release
mkdir -p "$root/out"
host=("$root/build/release/vistorb-host" --plugin "$root/build/release/VistorbTesting.so" --demo
      --screenshots "$root/out" "$@")
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a "${host[@]}"
fi
exec "${host[@]}"
