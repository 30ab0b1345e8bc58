#!/usr/bin/env bash
# Runs the session-script scenarios with a Windows tessary-cli.exe under Wine, as
# tests/cli/ScenarioTest.cpp runs them with the native one: each folder is copied to a scratch
# folder, `tessary-cli.exe run script.tsy` runs there, and standard output, the exit status,
# standard error (when expected/stderr exists) and expected/files/ are compared byte for byte.
#
#   - every folder of tests/scenarios, with its script turned into CR LF lines;
#   - every folder of tests/windows, run with --set WORK=<the scratch folder as a Windows path,
#     drive letter and backslashes>; "${WORK}" stands for that path in its expected output.
#     The files its `read-only` file names are made read-only first, and each line "NAME OTHER"
#     of its `links` file gives NAME the second name OTHER (a hard link).
#
#   tests/windows/run-scenarios.sh path/to/tessary-cli.exe
set -uo pipefail
exe=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
scenarios=$(cd "$here/../scenarios" && pwd)
wine=${WINE:-$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)}
wineserver=${WINESERVER:-$(command -v wineserver || echo /usr/lib/wine/wineserver)}

scratch=$(mktemp -d /tmp/tessary-wine.XXXXXX)
export WINEPREFIX=${WINEPREFIX:-$scratch/prefix} WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
    "$wineserver" -k 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT

passed=0
failed=0

fail() {
    echo "FAIL $1: $2"
    failed=$((failed + 1))
}

# run_one NAME SOURCE-FOLDER crlf|work
run_one() {
    local name=$1 source=$2 mode=$3
    local work="$scratch/work/$name"
    mkdir -p "$work"
    local entry
    for entry in "$source"/*; do
        [ "$(basename "$entry")" = expected ] || cp -r "$entry" "$work/"
    done
    if [ -f "$source/read-only" ]; then
        while IFS= read -r line; do
            [ -n "$line" ] && chmod a-w "$work/$line"
        done <"$source/read-only"
        rm "$work/read-only"
    fi
    if [ -f "$source/links" ]; then
        local first second
        while read -r first second; do
            [ -n "$first" ] && ln "$work/$first" "$work/$second"
        done <"$source/links"
        rm "$work/links"
    fi
    local args=(run script.tsy)
    local windowsWork="Z:${work//\//\\}"
    if [ "$mode" = crlf ]; then
        sed -i 's/\r*$/\r/' "$work/script.tsy"
    else
        args+=(--set "WORK=$windowsWork")
    fi
    local environment=()
    if [ -f "$source/env" ]; then
        while IFS= read -r line; do
            [ -n "$line" ] && [ "${line:0:1}" != "#" ] && environment+=("$line")
        done <"$source/env"
    fi
    (cd "$work" && env "${environment[@]}" "$wine" "$exe" "${args[@]}" >.stdout 2>.stderr)
    local status=$?
    # Every run of a scenario prints something; a run that printed nothing and failed is Wine
    # failing to start the program, and is tried once more (the program's own faults show on
    # the second run as well).
    if [ "$status" != 0 ] && [ ! -s "$work/.stdout" ] && [ ! -s "$work/.stderr" ]; then
        echo "note $name: no output and status $status under Wine; run once more"
        (cd "$work" && env "${environment[@]}" "$wine" "$exe" "${args[@]}" >.stdout 2>.stderr)
        status=$?
    fi
    local expected="$source/expected"
    local wanted=0
    [ -f "$expected/status" ] && wanted=$(cat "$expected/status")
    local ok=1
    # Output that names the scratch folder is compared with "${WORK}" in its place.
    WORK_PATH=$windowsWork perl -pe 's/\Q$ENV{WORK_PATH}\E/\$\{WORK\}/g' "$work/.stdout" \
        >"$work/.stdout-compared"
    if ! cmp -s "$work/.stdout-compared" "$expected/stdout"; then
        fail "$name" "standard output differs"
        diff "$work/.stdout-compared" "$expected/stdout" | head -20
        ok=0
    fi
    if [ "$status" != "$wanted" ]; then
        fail "$name" "exit status $status, expected $wanted"
        head -5 "$work/.stderr"
        ok=0
    fi
    if [ -f "$expected/stderr" ] && ! cmp -s "$work/.stderr" "$expected/stderr"; then
        fail "$name" "standard error differs"
        diff "$work/.stderr" "$expected/stderr" | head -10
        ok=0
    fi
    if [ -d "$expected/files" ]; then
        local file
        # Windows file names ignore letter case: of expected files whose names differ only in
        # case (Smile.obj, smile.obj) one file is written, and they are not compared.
        local collisions
        collisions=$(cd "$expected/files" && find . -type f | tr '[:upper:]' '[:lower:]' | sort |
            uniq -d)
        while IFS= read -r -d '' file; do
            local relative=${file#"$expected/files/"}
            local lower
            lower=$(printf './%s' "$relative" | tr '[:upper:]' '[:lower:]')
            if [ -n "$collisions" ] && grep -qxF "$lower" <<<"$collisions"; then
                continue
            fi
            if ! cmp -s "$file" "$work/$relative"; then
                fail "$name" "$relative differs or was not written"
                ok=0
            fi
        done < <(find "$expected/files" -type f -print0)
    fi
    [ $ok = 1 ] && passed=$((passed + 1))
}

# The first program started in a fresh prefix sets the prefix up (wineboot and its services
# go on in the background); a scenario started meanwhile once ended with status 1 and no output.
# Set the prefix up and wait for it to settle before the first scenario.
"$wine" "$exe" --version >/dev/null 2>&1 || true
"$wineserver" -w

for source in "$scenarios"/*/; do
    run_one "$(basename "$source")" "${source%/}" crlf
done
for source in "$here"/*/; do
    run_one "windows-$(basename "$source")" "${source%/}" work
done

echo "Windows scenarios under Wine: $passed passed, $failed failed"
[ "$failed" = 0 ]
