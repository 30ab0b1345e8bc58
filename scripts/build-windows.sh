#!/usr/bin/env bash
# Cross-compiles the core, the headless adapters and tessary-cli for 64-bit Windows with
# mingw-w64 (posix threads), then runs the session-script scenarios under Wine: those of
# tests/scenarios, and tests/windows/run-scenarios.sh's own (backslashes and drive letters,
# CR LF scripts, saving over the loaded file, file names beyond ASCII).
#
#   scripts/build-windows.sh [BUILD_DIR]      default build-windows
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
tessary_packages+=("${tessary_windows_packages[@]}")
tessary_install_deps

build=${1:-build-windows}
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$PWD/scripts/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DTESSARY_BUILD_TESTS=OFF -DTESSARY_BUILD_BENCH=OFF \
    -DTESSARY_BUILD_APP=OFF
cmake --build "$build" -j2 --target tessary-cli

exec tests/windows/run-scenarios.sh "$build/src/tessary-cli.exe"
