#!/usr/bin/env bash
# Installs what is needed, builds everything and runs all tests.
# ZARVEX_SANITIZE=1 builds with AddressSanitizer and UndefinedBehaviorSanitizer instead.
# The tests are switched on whatever the build folder held before, and a run that finds no
# tests fails: a folder configured without them cannot pass for a green run.
# Then the fuzz targets are built with clang in build/fuzz and replay their seed corpora
# (ZARVEX_FUZZ_CORPORA=0 leaves that out).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/scripts/setup.sh"

build="$here/build/release"
extra=()
if [ "${ZARVEX_SANITIZE:-0}" = "1" ]; then
  build="$here/build/asan"
  extra=(-DZARVEX_SANITIZE=ON -DZARVEX_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug)
else
  extra=(-DZARVEX_BUILD_BENCH=ON -DCMAKE_BUILD_TYPE=Release)
fi
# A compiler cache, where one is installed, makes a second build of the same sources (another
# clone, another folder) quick; paths are taken relative to the clone so that they match.
if command -v ccache > /dev/null; then
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$here}"
  extra+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$here" -B "$build" -G Ninja -DZARVEX_BUILD_TESTS=ON "${extra[@]}"
cmake --build "$build" -j "$(nproc)"
cd "$build"
if [ "${ZARVEX_FUZZ_CORPORA:-1}" = "1" ]; then
  fuzz="$here/build/fuzz"
  fuzz_cache=()
  if command -v ccache > /dev/null; then
    fuzz_cache=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  fi
  CC=clang CXX=clang++ cmake -S "$here" -B "$fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZARVEX_FUZZ=ON -DZARVEX_BUILD_GUI=OFF -DZARVEX_BUILD_BENCH=OFF "${fuzz_cache[@]}"
  cmake --build "$fuzz" -j "$(nproc)" --target zarvex_fuzzers
  (cd "$fuzz" && ctest -L fuzz --output-on-failure --no-tests=error -j "$(nproc)")
fi

# The whole suite last, so that its summary closes the run.
ctest --output-on-failure --no-tests=error -j "$(nproc)" --timeout 900
