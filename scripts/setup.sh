#!/bin/bash
# Installs everything the build and the tests need on a Debian machine (run as root):
# both cross compilers (i686 and x86_64) and both Wines (the 32-bit one, and the
# 64-bit one for machines that can't run 32-bit code).
# Safe to run again: apt and locale-gen skip what is already there.
set -euo pipefail

need_install=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
    need_install=1
fi

packages=(
    cmake ninja-build g++ clang libclang-rt-14-dev googletest
    g++-mingw-w64-i686-posix binutils-mingw-w64-i686
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools
    wine wine32:i386 wine64 xvfb x11-utils xdotool imagemagick
    locales fonts-ipafont-gothic fonts-ipafont-mincho
    fp-utils p7zip-full zip python3 chromium
)
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
        need_install=1
    fi
done
if [ "$need_install" = 1 ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${packages[@]}" >/dev/null
fi

if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf8$'; then
    sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
    locale-gen >/dev/null
fi
