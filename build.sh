#!/usr/bin/env bash
# Configures and builds into build/ (used by run.sh and test.sh).
#   ./build.sh         the build in build/
#   ./build.sh --deb   also the Debian package build/veltro-sitemap_<version>_amd64.deb, made from
#                      a build of the two programs alone in build-deb/, with Debian's build flags
set -euo pipefail
cd "$(dirname "$0")"
jobs=$(nproc 2>/dev/null || echo 2)
case "${1:-}" in
  "") ;;
  --deb) ;;
  *) echo "usage: ./build.sh [--deb]" >&2; exit 2 ;;
esac
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

if [ "${1:-}" != --deb ]; then
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build -j "$jobs"
  exit
fi

bash scripts/setup.sh --deb
# Hardened as Debian builds its own packages (dpkg-buildflags), without the tests.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B build-deb -DCMAKE_BUILD_TYPE=None "${launcher[@]}" \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
  -DVELTRO_BUILD_TESTS=OFF -DVELTRO_BUILD_BENCH=OFF >/dev/null
cmake --build build-deb -j "$jobs"
rm -f build-deb/veltro-sitemap_*.deb
(cd build-deb && cpack -G DEB >/dev/null)
mkdir -p build
deb=$(cd build-deb && ls veltro-sitemap_*.deb)
cp "build-deb/$deb" "build/$deb"
echo "build/$deb"
