#!/usr/bin/env bash
# One-time set-up on a Debian 12 machine: system packages, then the Dear ImGui 1.86 sources in
# third_party/ (outside every build tree, so deleting a build does not fetch them again).
# Safe to run again: every step checks whether it is already done.
# Packages come only from the machine's own apt configuration, which is never changed.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
third_party="$root/third_party"

# shellcheck source=packages.sh
source "$root/scripts/packages.sh"
install_missing_packages setup "${vistorb_setup_packages[@]}"

# Writes into $1 a source-package entry made from the first Debian entry of the machine's own
# apt configuration: the deb822 form (sources.list.d/*.sources) or the one-line form
# (sources.list, sources.list.d/*.list). Fails when there is none.
write_source_entry() {
  local dir="$1" file
  for file in /etc/apt/sources.list.d/*.sources; do
    [ -f "$file" ] || continue
    if awk 'BEGIN{RS=""} /(^|\n)Types:[^\n]*deb/ {found=1; exit} END{exit !found}' "$file"; then
      awk 'BEGIN{RS=""; ORS="\n\n"} /(^|\n)Types:[^\n]*deb/ {print; exit}' "$file" \
        | sed -e 's/^Types:.*/Types: deb-src/' -e 's/^Suites:[[:space:]]*\([^[:space:]]*\).*/Suites: \1/' \
        >"$dir/src.sources"
      return 0
    fi
  done
  for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$file" ] || continue
    if grep -qE '^[[:space:]]*deb[[:space:]]' "$file"; then
      grep -m 1 -E '^[[:space:]]*deb[[:space:]]' "$file" | sed -e 's/^[[:space:]]*deb[[:space:]]/deb-src /' >"$dir/src.list"
      return 0
    fi
  done
  return 1
}

# Dear ImGui 1.86, the version the host runs, from Debian's source package, fetched with a
# private apt directory. No other version will do: the plugin's copy must match the host's.
imgui="$third_party/imgui-1.86"
if [ ! -f "$imgui/imgui.h" ]; then
  apt_dir="$(mktemp -d)"
  trap 'rm -rf "$apt_dir"' EXIT
  chmod 755 "$apt_dir"  # apt's unprivileged downloader must be able to write there
  mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
  if ! write_source_entry "$apt_dir"; then
    echo "setup: no Debian package source in this machine's apt configuration (/etc/apt/sources.list," >&2
    echo "setup: /etc/apt/sources.list.d/): add one, then run setup again to fetch Dear ImGui 1.86" >&2
    exit 1
  fi
  apt_opts=(-o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$apt_dir"
            -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache")
  echo "setup: fetching the Dear ImGui 1.86 sources"
  apt-get "${apt_opts[@]}" update -q
  if ! (cd "$apt_dir" && apt-get "${apt_opts[@]}" source --download-only imgui=1.86+ds-1); then
    echo "setup: the configured package source has no imgui 1.86+ds-1 source package" >&2
    exit 1
  fi
  mkdir -p "$third_party"
  tar -xf "$apt_dir/imgui_1.86+ds.orig.tar.xz" -C "$third_party"
  [ -f "$imgui/imgui.h" ] || { echo "setup: the imgui 1.86 archive did not unpack to $imgui" >&2; exit 1; }
fi
echo "setup: done"
