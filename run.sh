#!/usr/bin/env bash
# Installs what is missing, builds Tessary and opens it on the bundled example. Without a
# display it prints the example's tree with tessary-cli instead.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
tessary_install_deps

build=${TESSARY_BUILD_DIR:-build-release}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DTESSARY_BUILD_TESTS=OFF -DTESSARY_BUILD_BENCH=OFF
cmake --build "$build" -j"$(nproc)"

example=examples/figure.cr2
app="$build/src/app/tessary"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x "$app" ]; then
    echo "Starting $app $example"
    exec "$app" "$example"
fi
echo "No display: the tree of $example as the left pane shows it."
echo "(Start the window later with: $app $example)"
"$build/src/tessary-cli" show "$example"
