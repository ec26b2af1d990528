#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz and runs each for a while; what they
# learn is kept in build-fuzz/corpus, so that the next run starts from there.
# ./scripts/fuzz.sh                         every target, 600 seconds each
# ./scripts/fuzz.sh 300 fuzz_text_search    the named targets, 300 seconds each
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
# libFuzzer and the sanitizers' runtime for clang come with the compiler-rt package.
KESTRIM_PACKAGES="$KESTRIM_PACKAGES clang libclang-rt-dev"
kestrim_install_missing

seconds=${1:-600}
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(fuzz_fountain_parser fuzz_text_search fuzz_workbench_file)

if [ ! -f build-fuzz/CMakeCache.txt ]; then
  cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DKESTRIM_FUZZ=ON -DKESTRIM_TESTS=OFF
fi
cmake --build build-fuzz --parallel "$(nproc 2>/dev/null || echo 2)" --target "${targets[@]}"
for target in "${targets[@]}"; do
  echo "== $target, $seconds s"
  mkdir -p "build-fuzz/corpus/$target"
  # A finding ends the run with a non-zero status and leaves its input in build-fuzz.
  "build-fuzz/bin/$target" -max_total_time="$seconds" -artifact_prefix="build-fuzz/" "build-fuzz/corpus/$target"
done
