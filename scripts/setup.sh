#!/usr/bin/env bash
# Installs every Debian package the project needs; does nothing when all are present.
#   scripts/setup.sh            what building, running and testing need
#   scripts/setup.sh --extras   also what the hand-run tools need (fuzz/, bench/)
#   scripts/setup.sh --deb      also what checking the Debian package needs (build.sh --deb)
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config git
  libcurl4-openssl-dev libtidy-dev libleveldb-dev libsnappy-dev libtinyxml-dev zlib1g-dev
  libboost-dev libboost-regex-dev libboost-thread-dev libboost-date-time-dev
  libboost-filesystem-dev libboost-serialization-dev libboost-system-dev libboost-chrono-dev
  qt6-base-dev qt6-svg-dev qt6-qpa-plugins libqt6svg6 qt6-translations-l10n
  libgtest-dev libgmock-dev libcpp-httplib-dev libssl-dev libbrotli-dev
  fonts-wqy-microhei openssl ca-certificates xdg-utils librsvg2-bin
  nginx-light time chromium nlohmann-json3-dev
  libxml2-dev libxml2-utils
)
if [ "${1:-}" = --extras ]; then
  # fuzz/build.sh, and the other crawlers of the benchmarks
  PACKAGES+=(clang-14 libfuzzer-14-dev libclang-rt-14-dev linkchecker wget wget2)
fi
if [ "${1:-}" = --deb ]; then
  PACKAGES+=(dpkg-dev fakeroot lintian appstream desktop-file-utils python3)
fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
