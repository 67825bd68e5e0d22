#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests use
# (only the missing ones), then configures the build folder given as $1.
set -euo pipefail
PACKAGES=(
  cmake g++ make pkg-config clang-format
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6svg6 libgl-dev
  libpoco-dev libglib2.0-dev
  python3 python3-pyftpdlib vsftpd curl wget lftp
  adwaita-icon-theme hicolor-icon-theme shared-mime-info dbus-daemon
  qt6-translations-l10n desktop-file-utils
  xvfb xauth
  clang-14 libclang-rt-14-dev
)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing Debian packages: ${missing[*]} (run as root to install them)" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq || true
  apt-get install -y --no-install-recommends "${missing[@]}"
fi
