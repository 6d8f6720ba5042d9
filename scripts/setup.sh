# Installs what the build needs (Debian 12) and builds into build/.
# Sourced by run.sh and test.sh.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
PACKAGES=(cmake g++ make pkg-config clang libclang-rt-14-dev
          qt6-base-dev qt6-serialport-dev libftdi1-dev
          qt6-multimedia-dev gstreamer1.0-plugins-base gstreamer1.0-plugins-good
          fonts-ipafont-gothic fonts-liberation)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  $SUDO apt-get update -qq
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

JOBS="$(nproc)"

# build_tree DIR [cmake options...] [-- targets...]
# Builds the targets named after "--" (and what they depend on), else all.
build_tree() {
  local dir="$1"; shift
  local options=() targets=()
  while [ "$#" -gt 0 ] && [ "$1" != "--" ]; do options+=("$1"); shift; done
  if [ "$#" -gt 0 ]; then shift; targets=(--target "$@"); fi
  cmake -S "$ROOT" -B "$ROOT/$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQDR_WERROR=ON "${options[@]}" >/dev/null
  cmake --build "$ROOT/$dir" -j "$JOBS" "${targets[@]}"
}
