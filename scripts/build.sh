#!/usr/bin/env bash
# Configures and builds the tree of one preset of CMakePresets.json (build/PRESET, or where the
# preset says). Usage: build.sh PRESET [extra cmake arguments...]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
preset="$1"; shift
jobs="${VISTORB_JOBS:-$(nproc)}"
cmake --preset "$preset" "$@" >/dev/null
cmake --build --preset "$preset" -j "$jobs"
