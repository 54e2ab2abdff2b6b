#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan and UBSan) in build/fuzz when needed and runs each
# for SECONDS (default 60), one after the other. Prints the executions and findings of every
# target; exits 1 when any target found an input that breaks it.
# The seed corpora under tests/fuzz/corpus are copied to build/fuzz/corpus first, so what the
# runs learn stays out of the tree; findings land in build/fuzz/findings/<target>/.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
build="$here/build/fuzz"

if ! command -v clang++ >/dev/null; then
  echo "fuzz.sh: clang++ not found (scripts/setup.sh installs it)" >&2
  exit 1
fi
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
if [ ! -f "$build/CMakeCache.txt" ]; then
  CC=clang CXX=clang++ cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZARVEX_FUZZ=ON -DZARVEX_BUILD_GUI=OFF -DZARVEX_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null
fi
cmake --build "$build" -j "$(nproc)" --target zarvex_fuzzers >/dev/null

status=0
printf '%-20s %12s %9s\n' target executions findings
for seeds in "$here"/tests/fuzz/corpus/*/; do
  name=$(basename "$seeds")
  corpus="$build/corpus/$name"
  findings="$build/findings/$name"
  mkdir -p "$corpus" "$findings"
  cp -n "$seeds"* "$corpus/" 2>/dev/null || true
  log="$findings/last_run.log"
  before=$(find "$findings" -type f ! -name '*.log' | wc -l)
  set +e
  "$build/tests/fuzz/fuzz_$name" "$corpus" -max_total_time="$seconds" -timeout=10 \
    -print_final_stats=1 -artifact_prefix="$findings/" >"$log" 2>&1
  rc=$?
  set -e
  after=$(find "$findings" -type f ! -name '*.log' | wc -l)
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  found=$((after - before))
  if [ "$rc" -ne 0 ] && [ "$found" -eq 0 ]; then found=1; fi
  printf '%-20s %12s %9s\n' "$name" "${runs:-?}" "$found"
  if [ "$found" -ne 0 ]; then
    status=1
    grep -m3 -E 'property failed|runtime error|ERROR: ' "$log" | sed 's/^/    /' || true
    echo "    log: $log"
  fi
done
exit $status
