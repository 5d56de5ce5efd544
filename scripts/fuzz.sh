#!/usr/bin/env bash
# Long fuzzing campaigns: builds the fuzz targets of the sanitizer tree (build/asan) and runs
# each named target (all when none is named) for RUNS executions, one after the other, in one
# process each at the lowest priority. New inputs collect in build/asan/fuzz_corpus/<name>
# (kept from campaign to campaign, the committed seeds in tests/fuzz/seeds/<name> are read
# too); a crashing input lands in build/asan/fuzz_artifacts/. Prints the executions run and
# the outcome of each target.
#
#   scripts/fuzz.sh [--runs N] [target...]
#     targets: profile shape pack command_line media picture settings, and two slower builds of
#     the same checks: pack_disk (the split over the disk's files) and settings_window (the
#     dialog's window drawn, some ten executions a second)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
runs=10000000
if [ "${1:-}" = "--runs" ]; then runs=$2; shift 2; fi
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(profile shape pack command_line media picture settings)

cd "$root"
cmake --preset linux-asan >/dev/null
cmake --build --preset linux-asan -j 2 --target "${targets[@]/%/_fuzzer}" >/dev/null

build=$root/build/asan
# The libraries' own memory kept for the process's life, as in the sanitizer tree's tests.
export LSAN_OPTIONS=suppressions=$root/tests/sanitizer/lsan.supp
mkdir -p "$build/fuzz_artifacts" "$build/fuzz_logs"
declare -A max_len=([profile]=4096 [shape]=16384 [pack]=40000 [pack_disk]=40000 [command_line]=256 [media]=4096
                   [picture]=65536 [settings]=4096 [settings_window]=4096)
declare -A seeds_of=([pack_disk]=pack [settings_window]=settings)
status=0
for t in "${targets[@]}"; do
  mkdir -p "$build/fuzz_corpus/$t"
  log=$build/fuzz_logs/$t.log
  echo "== $t: $runs executions (log: $log)"
  if nice -n 19 "$build/${t}_fuzzer" -runs="$runs" -max_len="${max_len[$t]}" -timeout=30 -rss_limit_mb=2048 \
       -print_final_stats=1 -artifact_prefix="$build/fuzz_artifacts/$t-" \
       "$build/fuzz_corpus/$t" "$root/tests/fuzz/seeds/${seeds_of[$t]:-$t}" >"$log" 2>&1; then
    result=clean
  else
    result="FAILED (see the log and build/asan/fuzz_artifacts/)"
    status=1
  fi
  executed=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  echo "   ${executed:-?} executions, $result"
done
exit $status
