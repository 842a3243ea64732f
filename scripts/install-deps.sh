#!/bin/sh
# Installs the Debian packages Quiltara builds with, only those that are missing,
# through sudo when not run as root.
set -eu
packages="build-essential cmake ninja-build pkg-config qt6-base-dev
  libpng-dev libjpeg62-turbo-dev libtiff-dev libwebp-dev zlib1g-dev libgtest-dev libsane-dev libsane1
  libfreetype-dev libfontconfig-dev fonts-dejavu-core libbenchmark-dev"
missing=""
for p in $packages; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done
[ -z "$missing" ] && exit 0
echo "Installing:$missing"
if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing
