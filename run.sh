#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program.
#   ./run.sh              the desktop window
#   ./run.sh --cli ARGS   the headless crawl command
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/setup.sh
bash build.sh
if [ "${1:-}" = "--cli" ]; then
  shift
  if [ -x build/bin/veltro-sitemap-cli ]; then exec build/bin/veltro-sitemap-cli "$@"; fi
  echo "The headless command is not built yet." >&2
  exit 1
fi
if [ -x build/bin/veltro-sitemap ]; then exec build/bin/veltro-sitemap "$@"; fi
echo "The desktop window is not built yet; what exists so far is the engine libraries in build/ and their tests (./test.sh)."
