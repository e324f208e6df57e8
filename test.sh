#!/usr/bin/env bash
# Builds everything and runs every test. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/deps.sh
cmake --preset release
cmake --build --preset release -j2
ctest --preset release --output-on-failure -j2
bash scripts/test-windows.sh
