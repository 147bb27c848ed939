#!/usr/bin/env bash
# Builds everything and runs every test: the suite in a normal build, the suite again with
# AddressSanitizer and UndefinedBehaviorSanitizer, and each fuzz target for a short while.
# Warnings are errors in every build here. Release builds with GCC and with clang are compiled
# too, as full optimisation and the other compiler warn where the tested builds do not.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/deps.sh"
jobs=$(nproc)
fuzz_seconds=${TALLYRA_FUZZ_SECONDS:-30}
# What the checkout looks like now: the run must leave it exactly so (builds go to ignored
# folders, and no test writes into the sources).
checkout_state() { git -C "$top" status --porcelain --untracked-files=all 2>/dev/null || true; }
before=$(checkout_state)

echo "== build and test"
cmake -S "$top" -B "$top/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTALLYRA_WERROR=ON >/dev/null
cmake --build "$top/build" -j "$jobs"
ctest --test-dir "$top/build" --output-on-failure -j "$jobs"

echo "== build and test with AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S "$top" -B "$top/build-asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTALLYRA_SANITIZE=ON \
  -DTALLYRA_BENCH=OFF -DTALLYRA_WERROR=ON >/dev/null
cmake --build "$top/build-asan" -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
  LSAN_OPTIONS=suppressions="$top/tools/lsan.supp":print_suppressions=0 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$top/build-asan" --output-on-failure -j "$jobs"

echo "== compile Release builds with GCC and with clang (no test run)"
for compiler in gcc:g++ clang:clang++; do
  cc=${compiler%%:*}
  CC=$cc CXX=${compiler##*:} cmake -S "$top" -B "$top/build-release-$cc" -G Ninja \
    -DCMAKE_BUILD_TYPE=Release -DTALLYRA_BENCH=OFF -DTALLYRA_WERROR=ON >/dev/null
  cmake --build "$top/build-release-$cc" -j "$jobs"
done

echo "== fuzz the file readers (${fuzz_seconds}s each)"
CC=clang CXX=clang++ cmake -S "$top" -B "$top/build-fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTALLYRA_GUI=OFF -DTALLYRA_TESTS=OFF -DTALLYRA_BENCH=OFF -DTALLYRA_FUZZ=ON -DTALLYRA_WERROR=ON >/dev/null
cmake --build "$top/build-fuzz" -j "$jobs"
for target in record_reader_fuzz settings_fuzz http_answer_fuzz import_fuzz; do
  corpus="$top/build-fuzz/corpus-$target"
  mkdir -p "$corpus"
  "$top/build-fuzz/fuzz/$target" -max_total_time="$fuzz_seconds" -print_final_stats=0 \
    "$corpus" "$top/fuzz/seeds" 2>&1 | tail -n 2
done
echo "== build the Debian package and check it, unpacked and started"
# The GCC Release build above is the package's build: only the tests' targets leave it.
TALLYRA_PACKAGE_BUILD="$top/build-release-gcc" "$top/tools/package-check.sh"

echo "== the checkout is as clean as before"
after=$(checkout_state)
if [ "$before" != "$after" ]; then
  echo "The run changed the checkout:"
  diff <(echo "$before") <(echo "$after") || true
  exit 1
fi

echo "== all tests passed"
