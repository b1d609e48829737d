#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need (only when missing).
set -euo pipefail
packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev
          qt6-svg-dev libgtest-dev libgmock-dev googletest libbenchmark-dev
          xvfb xauth clang-format hp2xx poppler-utils
          clang libclang-rt-14-dev libeigen3-dev survex)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
