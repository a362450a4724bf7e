#!/bin/sh
# Installs the Debian packages the build and the tests need, only those missing.
set -e
packages="cmake ninja-build libfontconfig-dev g++ make dpkg-dev desktop-file-utils appstream xvfb xauth xdotool dosfstools fusefat fcitx5 fcitx5-mozc fcitx5-frontend-qt6 dbus at-spi2-core python3-pyatspi gir1.2-atspi-2.0 qt6-base-dev qt6-translations-l10n libgl-dev libcups2-dev poppler-utils strace clang-format python3 fonts-ipafont-gothic fonts-ipafont-mincho fonts-liberation2 libphonenumber-dev libmecab-dev mecab-ipadic-utf8 libkakasi2-dev kakasi-dic skkdic-extra libicu-dev libharfbuzz-dev pkg-config qtkeychain-qt6-dev radicale xandikos vdirsyncer $EXTRA_PACKAGES"
# npm fetches the postal code data; a Node.js installed another way serves as well.
command -v npm >/dev/null 2>&1 || packages="$packages npm"
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  echo "Installing:$missing"
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null 2>&1; then
      echo "These Debian packages are missing, and there is no sudo to install them. As root, run:" >&2
      echo "  apt-get install -y$missing" >&2
      exit 1
    fi
    sudo="sudo"
  fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq $missing
fi
sh "$(dirname "$0")/fetch-postal-data.sh"
