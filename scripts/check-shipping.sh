#!/usr/bin/env bash
# What ships, as far as a Linux machine can check it (nobody can run Visual Studio here):
#   - on a Windows host the CMake code makes no symbolic link (script mode, the host faked);
#   - the MSVC build accepts Release and RelWithDebInfo only;
#   - every configure preset is conditioned on its host (Visual Studio lists only windows-msvc);
#   - the DLL table check, the release rules and the preset check, on tables and files fed to them;
#   - this checkout's version, CHANGELOG.md and players' text are ready to release;
#   - every workflow file passes the schema check of @action-validator/cli.
# The set-up it needs comes from the machine's own apt and npm configuration.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

# The schema checker, at a pinned version, installed into the build tree.
action_validator_version=0.6.0
tools="$root/build/tools"

# shellcheck source=packages.sh
source "$root/scripts/packages.sh"
install_missing_packages check-shipping cmake python3
if ! command -v npm >/dev/null; then
  install_missing_packages check-shipping nodejs npm
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

echo "=== CMake with the host faked: a Windows host makes no link ==="
cmake -DWORK="$work" -P tests/cmake/HostLinks.cmake

echo "=== the MSVC build's configurations ==="
cmake -P tests/cmake/MsvcConfigurations.cmake

echo "=== configure presets by host ==="
python3 scripts/check-presets.py CMakePresets.json

echo "=== the DLL table check, the release rules and the preset check ==="
python3 tests/scripts/test_shipping.py

echo "=== this checkout as a release: version, changelog, players' text ==="
python3 scripts/release.py check
python3 scripts/release.py players-text "$work/README.txt"
echo "release: Vistorb $(python3 scripts/release.py version), players' text of $(wc -l <"$work/README.txt") lines"

echo "=== the workflows against GitHub's schema (@action-validator/cli $action_validator_version) ==="
installed="$(node -p "require('$tools/node_modules/@action-validator/cli/package.json').version" 2>/dev/null || true)"
if [ "$installed" != "$action_validator_version" ]; then
  npm install --prefix "$tools" --no-save --no-package-lock --no-audit --no-fund \
    "@action-validator/cli@$action_validator_version" "@action-validator/core@$action_validator_version"
fi
for workflow in .github/workflows/*.yml; do
  "$tools/node_modules/.bin/action-validator" "$workflow"
  echo "action-validator: $workflow passes"
done
