#!/usr/bin/env bash
# One-time set-up on a Debian 12 machine: system packages, then the Dear ImGui 1.86 sources.
# Safe to run again: every step checks whether it is already done.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
deps="$root/build/_deps"

packages=(build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
          libfmt-dev nlohmann-json3-dev libgtest-dev libgmock-dev libbenchmark-dev
          libsdl2-dev libstb-dev libgl-dev libgl1-mesa-dri xvfb xauth xz-utils dpkg-dev
          libfiu-dev fiu-utils)

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -q
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q "${missing[@]}"
fi

# Dear ImGui 1.86 comes from Debian's source package, fetched with a private apt directory so
# that the system's apt configuration is never touched.
imgui="$deps/imgui-1.86"
if [ ! -f "$imgui/imgui.h" ]; then
  apt_dir="$deps/apt"
  mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
  sys_sources=/etc/apt/sources.list.d/debian.sources
  if [ -f "$sys_sources" ]; then
    # First stanza of the system's own sources, turned into a source-package entry.
    awk 'BEGIN{RS=""; ORS="\n\n"} NR==1' "$sys_sources" \
      | sed -e 's/^Types:.*/Types: deb-src/' -e 's/^Suites:.*/Suites: bookworm/' >"$apt_dir/src.sources"
  else
    printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: bookworm\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' >"$apt_dir/src.sources"
  fi
  apt_opts=(-o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$apt_dir"
            -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache")
  echo "setup: fetching the Dear ImGui 1.86 sources"
  apt-get "${apt_opts[@]}" update -q
  (cd "$apt_dir" && apt-get "${apt_opts[@]}" source --download-only imgui=1.86+ds-1 \
     || apt-get "${apt_opts[@]}" source --download-only imgui)
  tarball=$(ls "$apt_dir"/imgui_1.86*.orig.tar.* | head -n 1)
  mkdir -p "$deps"
  tar -xf "$tarball" -C "$deps"
  [ -f "$imgui/imgui.h" ] || { echo "setup: $tarball did not unpack to $imgui" >&2; exit 1; }
fi
echo "setup: done"
