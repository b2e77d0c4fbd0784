#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into fuzz/build/bin (its own folder; the normal
# build in build/ is not touched). Engine code is built with coverage, address and undefined
# behaviour checks.
#
#   fuzz/build.sh
#   fuzz/build/bin/fuzz_link_extraction -max_total_time=600 -timeout=10 \
#       fuzz/build/corpus/link_extraction fuzz/corpus/link_extraction
#
# Targets (each a fuzz/<name>.cpp; fuzz/entries/FuzzEntries.h says what each input is):
#   link_extraction header_fields url_record_text settings_reader sitemap_escape sitemap_reader
# The committed seeds are in fuzz/corpus/<name>/; give the fuzzer a scratch folder first so
# that what it finds lands there, not among the seeds.
set -euo pipefail
cd "$(dirname "$0")/.."
CLANG="${CLANG:-clang++-14}"
command -v "$CLANG" >/dev/null || { echo "missing: $CLANG (bash scripts/setup.sh --extras installs it)" >&2; exit 1; }
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer -g -O1"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B fuzz/build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER="$CLANG" "${launcher[@]}" \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
  -DVELTRO_BUILD_FUZZ=ON -DVELTRO_BUILD_APP=OFF -DVELTRO_BUILD_TESTS=OFF -DVELTRO_BUILD_BENCH=OFF >/dev/null
targets=(fuzz_link_extraction fuzz_header_fields fuzz_url_record_text fuzz_settings_reader fuzz_sitemap_escape fuzz_sitemap_reader)
cmake --build fuzz/build -j "${JOBS:-2}" --target "${targets[@]}"
echo "built: ${targets[*]/#/fuzz/build/bin/}"
