#!/usr/bin/env bash
# Installs what building, running and testing Quillet needs on Debian 12. Run as root.
# With the argument "bench", also what the benchmarks compare against.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config mold
  qt6-base-dev libgl-dev libfontconfig-dev libxcb1-dev fonts-dejavu-core
  libgtest-dev libgmock-dev libbenchmark-dev
  gettext locales socat xvfb xdotool x11-apps x11-utils imagemagick clang iproute2 util-linux
  librsvg2-bin dpkg-dev desktop-file-utils appstream lintian man-db
  libzint-dev libusb-1.0-0-dev umockdev libumockdev-dev zbar-tools minicom picocom ccache
  qemu-system-x86 busybox-static xz-utils
  python3 python3-prometheus-client icu-devtools
)
# The npm test clients need Node.js with npm; a machine that has them from elsewhere (NodeSource's
# nodejs carries its own npm and conflicts with Debian's) keeps them.
if ! command -v npm >/dev/null; then
  packages+=(nodejs npm)
fi
if [ "${1:-}" = bench ]; then
  packages+=(python3-serial netcat-openbsd)
fi

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y --no-install-recommends "${missing[@]}"
fi
