#!/bin/sh
# Installs the Debian packages the build, the tests and the demo need.
# Does nothing (and needs no network) when every package is already there.
set -eu

packages="
  make cmake g++ pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev libstb-dev zlib1g-dev libflashrom-dev
  mingw-w64 wine64 wine32:i386 fonts-wine xvfb x11-utils imagemagick python3
  lhasa p7zip-full libarchive-tools libjpeg-turbo-progs
  scons debian-archive-keyring
  clang libclang-rt-14-dev clang-format clang-tidy
"

missing=""
for p in $packages; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done

if [ -z "$missing" ]; then
  exit 0
fi

echo "install-deps: installing$missing"
if [ "$(id -u)" -ne 0 ]; then
  SUDO=sudo
else
  SUDO=
fi
export DEBIAN_FRONTEND=noninteractive
# wine32, which runs the 32-bit programs' tests, comes from Debian's i386
# architecture.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -qq
# shellcheck disable=SC2086
$SUDO apt-get install -y -qq --no-install-recommends $missing
