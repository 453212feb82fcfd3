#!/usr/bin/env bash
# Set-up, build, then every test through CTest.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" "$root/build/release"
cd "$root/build/release"
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a ctest --output-on-failure -j "$(nproc)" "$@"
fi
exec ctest --output-on-failure -j "$(nproc)" "$@"
