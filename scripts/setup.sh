#!/usr/bin/env bash
# Installs what building Quillora needs on Debian 12, then configures and builds it.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(build-essential cmake ninja-build pkg-config git
          qt6-base-dev qt6-base-dev-tools libgl-dev libuchardet-dev
          xvfb xauth clang libclang-rt-14-dev lld
          libglib2.0-dev libx11-dev qt6-svg-dev libqt6svg6 desktop-file-utils appstream
          shared-mime-info poppler-utils)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${missing[@]}"
fi

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --parallel "$(nproc)"
