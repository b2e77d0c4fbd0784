#!/usr/bin/env bash
# Runs every fuzz target built by fuzz/build.sh, one at a time (the machine's cores are
# shared), each for SECONDS (default 600), and prints each one's final figures.
#
#   fuzz/run.sh [SECONDS] [TARGET ...]
#
# Each target grows its corpus in fuzz/build/corpus/<name> from the committed seeds; its log
# is fuzz/build/logs/<name>.log; a crashing input is written to fuzz/build/crashes/<name>-*.
# The run of a target stops at its first crash (libFuzzer's default): look at the log, mend
# the fault, add the input to fuzz/corpus/<name>/ and a regression test, and run it again.
set -uo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-600}"
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(link_extraction header_fields url_record_text settings_reader sitemap_escape sitemap_reader)
mkdir -p fuzz/build/logs fuzz/build/crashes
for t in "${targets[@]}"; do
  bin="fuzz/build/bin/fuzz_$t"
  [ -x "$bin" ] || { echo "missing: $bin (run fuzz/build.sh)" >&2; exit 1; }
  extra=()
  # Pages are larger than the other inputs; give the fuzzer room for whole documents.
  [ "$t" = link_extraction ] && extra=(-max_len=16384)
  mkdir -p "fuzz/build/corpus/$t"
  "$bin" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 "${extra[@]}" \
    -artifact_prefix="fuzz/build/crashes/$t-" "fuzz/build/corpus/$t" "fuzz/corpus/$t" >"fuzz/build/logs/$t.log" 2>&1
  status=$?
  last=$(grep -E '^#[0-9]+' "fuzz/build/logs/$t.log" | tail -1)
  runs=$(awk '/stat::number_of_executed_units/ { print $2 }' "fuzz/build/logs/$t.log")
  rate=$(awk '/stat::average_exec_per_sec/ { print $2 }' "fuzz/build/logs/$t.log")
  printf '%-16s exit %s  executions %s  exec/s %s  last: %s\n' "$t" "$status" "${runs:-?}" "${rate:-?}" "$last"
done
