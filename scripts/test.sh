#!/usr/bin/env bash
# Set-up, build, then every test through CTest.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" release
cd "$root"
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a ctest --preset release -j "$(nproc)" "$@"
fi
exec ctest --preset release -j "$(nproc)" "$@"
