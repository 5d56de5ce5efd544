#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build and test Zephlora, and generates the
# Japanese and US English locales that the tests run Wine under. Installs only what is missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config python3 python3-pil python3-numpy
  libsdl2-dev libsdl2-mixer-dev libx11-dev libxext-dev libxfixes-dev libgl1-mesa-dri libstb-dev libgtk-3-dev
  libcdio-dev libcdio-paranoia-dev libfreetype-dev libfontconfig-dev
  googletest libgtest-dev libbenchmark-dev
  clang libfuzzer-14-dev libclang-rt-14-dev llvm
  g++-mingw-w64-x86-64 wine wine64
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good
  xvfb xauth xdotool x11-utils x11-xserver-utils xfonts-base imagemagick fonts-ipafont-gothic fonts-liberation locales sox libsox-fmt-mp3 lame
  util-linux xscreensaver libxinerama-dev dpkg-dev
  nsis lintian desktop-file-utils appstream man-db
)
run_only=0; print_only=0
for arg in "$@"; do
  case $arg in
    --run-only) run_only=1 ;;
    --print) print_only=1 ;;  # the list, for scripts/check-packages.py
  esac
done
if [ $run_only = 1 ]; then
  packages=(build-essential cmake pkg-config python3 libsdl2-dev libsdl2-mixer-dev
            libx11-dev libxext-dev libxinerama-dev libxfixes-dev libstb-dev libgtk-3-dev libcdio-dev libcdio-paranoia-dev
            libfreetype-dev libfontconfig-dev fonts-ipafont-gothic fonts-liberation xfonts-base)
fi

if [ $print_only = 1 ]; then
  printf '%s\n' "${packages[@]}"
  exit 0
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# ja_JP.UTF-8 gives Wine code page 932 as on a Japanese Windows; en_US.UTF-8 code page 1252,
# under which the tests check that the texts reach the screen the same.
if [ $run_only = 0 ]; then
  generate=0
  for l in ja_JP en_US; do
    locale -a 2>/dev/null | grep -qi "^$l.utf8$" && continue
    $SUDO sed -i "s/^# *$l.UTF-8 UTF-8/$l.UTF-8 UTF-8/" /etc/locale.gen
    grep -q "^$l.UTF-8 UTF-8" /etc/locale.gen || echo "$l.UTF-8 UTF-8" | $SUDO tee -a /etc/locale.gen >/dev/null
    generate=1
  done
  [ $generate = 0 ] || $SUDO locale-gen >/dev/null
fi
