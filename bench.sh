#!/usr/bin/env bash
# Builds the benchmarks in release mode (into build-bench) and runs them.
# ./bench.sh                 every benchmark program
# ./bench.sh bench_foo ...   the named programs; extra Google Benchmark flags via BENCH_ARGS
set -euo pipefail
cd "$(dirname "$0")"
. scripts/deps.sh
kestrim_install_missing
if [ ! -f build-bench/CMakeCache.txt ]; then
  cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DKESTRIM_BENCH=ON -DKESTRIM_TESTS=OFF
fi
cmake --build build-bench --parallel "$(nproc 2>/dev/null || echo 2)"
export QT_QPA_PLATFORM=offscreen
programs=("$@")
if [ ${#programs[@]} -eq 0 ]; then
  mapfile -t programs < <(cd build-bench/bin && ls bench_* 2>/dev/null)
fi
for program in "${programs[@]}"; do
  echo "== $program"
  "./build-bench/bin/$program" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true ${BENCH_ARGS:-}
done
