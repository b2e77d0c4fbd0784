#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test; ends with ctest's summary.
#   ./test.sh              the normal build in build/, every test; as root also the Debian
#                          package, installed, run and removed by one of the tests
#   ./test.sh --sanitize   AddressSanitizer and UndefinedBehaviorSanitizer build in build-asan/,
#                          every test (window tests included); any finding fails its test
#   ./test.sh --tsan       ThreadSanitizer build in build-tsan/ (no window), the tests whose
#                          code runs threads: store, web (servers, connections, push), render,
#                          crawl, output (auto-save) and the headless command
#   ./test.sh --deb        builds the Debian package (./build.sh --deb) and checks it: its files,
#                          lintian, install, both programs from /usr/bin, removal (as root)
set -euo pipefail
cd "$(dirname "$0")"
mode="${1:-}"
case "$mode" in
  "" | --sanitize | --tsan | --deb) ;;
  *) echo "usage: ./test.sh [--sanitize | --tsan | --deb]" >&2; exit 2 ;;
esac
bash scripts/setup.sh
export QT_QPA_PLATFORM=offscreen
jobs="$(nproc 2>/dev/null || echo 2)"

if [ "$mode" = --deb ]; then
  bash build.sh --deb
  deb="$(ls -t build/veltro-sitemap_*_amd64.deb | head -n 1)"
  exec bash tests/packaging/check-deb.sh "$deb"
fi

if [ -z "$mode" ]; then
  bash build.sh
  # As root (as CI runs) the package is built too, and ctest checks it.
  if [ "$(id -u)" -eq 0 ]; then bash build.sh --deb >/dev/null; fi
  cd build
  ctest --output-on-failure -j "$jobs" --timeout 300
  exit
fi

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
supp="$PWD/tests/sanitizers"
if [ "$mode" = --sanitize ]; then
  dir=build-asan
  flags="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" -DVELTRO_BUILD_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
  cmake --build "$dir" -j "$jobs"
  export ASAN_OPTIONS="detect_leaks=1:detect_stack_use_after_return=0:strict_string_checks=1"
  export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
  export LSAN_OPTIONS="suppressions=$supp/lsan.supp:print_suppressions=0"
  cd "$dir"
  # Sanitized tests run several times slower; each gets a longer bound.
  ctest --output-on-failure -j "$jobs" --timeout 900
else
  dir=build-tsan
  flags="-fsanitize=thread -fno-omit-frame-pointer"
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" -DVELTRO_BUILD_APP=OFF \
    -DVELTRO_BUILD_BENCH=OFF -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" >/dev/null
  cmake --build "$dir" -j "$jobs" --target store_tests web_tests render_tests crawl_tests admission_tests \
    output_tests cli_tests veltro-sitemap-cli
  export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$supp/tsan.supp"
  cd "$dir"
  # Only the executables built above; the others show up as placeholders "<name>_NOT_BUILT".
  # One test at a time: under ThreadSanitizer two many-worker crawls side by side on two cores
  # run into their own time-outs and concurrency bounds.
  ctest --output-on-failure -j 1 --timeout 900 -E '_NOT_BUILT$'
fi
