# Sourced by the set-up scripts: the Debian packages each of them needs, and the one function
# that installs those of a list that are not installed yet, from the machine's own package
# sources. Usage: install_missing_packages LABEL PACKAGE...
# The lists live here so that CI can install all of them in one apt-get call up front
# (.ci/run); each script still installs its own when run alone.

# The Linux build and its tests (scripts/setup.sh).
vistorb_setup_packages=(build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
  libfmt-dev nlohmann-json3-dev libgtest-dev libgmock-dev libbenchmark-dev
  libsdl2-dev libstb-dev libgl-dev libgl1-mesa-dri xvfb xauth xz-utils dpkg-dev
  libfiu-dev fiu-utils)
# The Windows build and Wine (scripts/test-windows.sh).
vistorb_windows_packages=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64 python3)
# The plugin against the host's own SDK (scripts/check-host-sdk.sh).
vistorb_host_sdk_packages=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 llvm python3 ninja-build cmake)

install_missing_packages() {
  local label="$1"; shift
  local sudo_cmd=() missing=() p
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    # A package named in two lists is asked for once.
    mapfile -t missing < <(printf '%s\n' "${missing[@]}" | awk '!seen[$0]++')
    echo "$label: installing ${missing[*]}"
    "${sudo_cmd[@]}" apt-get update -q
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q "${missing[@]}"
  fi
}
