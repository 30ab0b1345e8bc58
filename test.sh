#!/usr/bin/env bash
# Installs what is missing, builds Tessary with its tests and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
tessary_install_deps

build=${TESSARY_BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSARY_BUILD_TESTS=ON
cmake --build "$build" -j"$(nproc)"
QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" --output-on-failure -j"$(nproc)" --timeout 300
# The files the desktop reads: the entry and the AppStream metadata.
desktop-file-validate resources/desktop/org.tessary.Tessary.desktop
appstreamcli validate --no-net resources/desktop/org.tessary.Tessary.metainfo.xml
