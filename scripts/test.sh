#!/usr/bin/env bash
# Builds everything and runs all tests: once plain, once under
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
jobs="$(nproc)"
cmake -S . -B build/test -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/test -j"$jobs"
(cd build/test && ctest --output-on-failure -j"$jobs")
cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=Debug -DTOVREL_SANITIZE=ON >/dev/null
cmake --build build/asan -j"$jobs"
(cd build/asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j"$jobs")
