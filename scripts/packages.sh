# Sourced by the set-up scripts: installs the Debian packages of a list that are not installed
# yet, from the machine's own package sources. Usage: install_missing_packages LABEL PACKAGE...
install_missing_packages() {
  local label="$1"; shift
  local sudo_cmd=() missing=() p
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "$label: installing ${missing[*]}"
    "${sudo_cmd[@]}" apt-get update -q
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q "${missing[@]}"
  fi
}
