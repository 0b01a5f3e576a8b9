#!/usr/bin/env bash
# Installs what the build and the tests need, when it is missing (Debian).
set -euo pipefail
pkgs=(cmake ninja-build g++ clang libclang-rt-14-dev qt6-base-dev qt6-l10n-tools libgl-dev
      libsqlite3-dev libsimpleini-dev libcpp-httplib-dev pkg-config libgtest-dev libgmock-dev libbenchmark-dev
      dpkg-dev file desktop-file-utils curl ser2net)
[ "${1:-}" = "--gui" ] && pkgs+=(xvfb xauth fonts-dejavu-core)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
