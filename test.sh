#!/usr/bin/env bash
# Installs what is missing, builds Tessary with its tests and runs every test: once as built
# for use, once more with AddressSanitizer and UndefinedBehaviorSanitizer (TESSARY_SANITIZE=0
# skips that second run).
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
tessary_install_deps
tessary_install_locale de_DE.UTF-8

jobs=$(nproc)
build=${TESSARY_BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSARY_BUILD_TESTS=ON
cmake --build "$build" -j"$jobs"
QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" --output-on-failure -j"$jobs" --timeout 300
# The files the desktop reads: the entry and the AppStream metadata.
desktop-file-validate resources/desktop/org.tessary.Tessary.desktop
appstreamcli validate --no-net resources/desktop/org.tessary.Tessary.metainfo.xml

if [ "${TESSARY_SANITIZE:-1}" != 0 ]; then
    sanitized=${TESSARY_SANITIZE_BUILD_DIR:-build-sanitize}
    # -O1 keeps the checked build and its run short; benchmarks are not built.
    cmake -S . -B "$sanitized" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" \
        -DTESSARY_BUILD_TESTS=ON -DTESSARY_BUILD_BENCH=OFF -DTESSARY_SANITIZE=ON
    cmake --build "$sanitized" -j"$jobs"
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    QT_QPA_PLATFORM=offscreen \
        ctest --test-dir "$sanitized" --output-on-failure -j"$jobs" --timeout 600
fi
