#!/usr/bin/env bash
# Installs what building, running and testing need on Debian 12, when it is missing.
# The faces are named one by one rather than left to LibreOffice's recommended packages: the documents'
# Chinese text is set in Noto CJK and AR PL UKai, their Latin text (Times New Roman) in Liberation Serif.
# The last line is what scripts/test-install.sh needs to draw the icons and check the installation and
# the Debian package.
set -euo pipefail
packages=(build-essential cmake pkg-config ccache qt6-base-dev libqt6sql6-sqlite libgl-dev
          libzip-dev libpugixml-dev libxlsxwriter-dev qt6-charts-dev libgtest-dev googletest libsqlite3-dev sqlite3 zip unzip
          postgresql-15 libqt6sql6-psql libpq-dev
          fonts-noto-cjk fonts-arphic-ukai fonts-liberation2 qt6-translations-l10n libreoffice-writer-nogui poppler-utils
          desktop-file-utils appstream lintian dpkg-dev file librsvg2-bin)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${missing[@]}"
fi
