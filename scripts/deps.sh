#!/usr/bin/env bash
# Installs the Debian packages Verbana needs to build, test and run, when any
# is missing. Sourced by ./run and ./test.
set -euo pipefail

VERBANA_PACKAGES=(
  build-essential cmake ninja-build pkg-config ccache clang libclang-rt-14-dev
  qt6-base-dev qt6-base-dev-tools qt6-charts-dev libqt6opengl6-dev qt6-translations-l10n zlib1g-dev libzip-dev libssl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  unrtf zip unzip libdbd-xbase-perl poppler-utils python3
  fonts-nanum fonts-nanum-coding xvfb xauth xdotool
  desktop-file-utils libxml2-utils shared-mime-info dpkg-dev
  libhunspell-dev hunspell-ko hunspell-en-us
)

verbana_missing_packages() {
  local missing=()
  for p in "${VERBANA_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  echo "${missing[@]:-}"
}

verbana_install_deps() {
  local missing
  missing=$(verbana_missing_packages)
  [ -z "$missing" ] && return 0
  echo "Installing missing packages: $missing"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  # shellcheck disable=SC2086
  $sudo apt-get install -y -qq --no-install-recommends $missing
}
