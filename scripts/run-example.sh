#!/usr/bin/env bash
# Builds the batch command and groups the bundled example assessments.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DTOVREL_BUILD_TESTS=OFF >/dev/null
cmake --build build/release --target tovrel -j"$(nproc)" >/dev/null
build/release/cli/tovrel group examples/records.txt
