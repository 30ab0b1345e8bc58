# Installs the Debian packages Tessary needs to build and test, skipping those already there.
# Sourced by run.sh and test.sh.

tessary_packages=(g++ cmake make pkg-config googletest libgtest-dev libgmock-dev libbenchmark-dev
                  qt6-base-dev zlib1g-dev xvfb xauth python3 locales desktop-file-utils
                  appstream shared-mime-info)
# What scripts/build-windows.sh adds: the mingw-w64 cross compiler, zlib for it, and Wine to
# run its result.
tessary_windows_packages=(g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine64)

tessary_install_deps() {
    local missing=()
    local package
    for package in "${tessary_packages[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
    if [ ${#missing[@]} -eq 0 ]; then
        return 0
    fi
    echo "Installing: ${missing[*]}"
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo=(sudo)
    fi
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
}

# Makes the locale `name` (for example de_DE.UTF-8) available, generating it when it is not:
# the locale tests then run instead of skipping.
tessary_install_locale() {
    local name=$1
    local wanted
    wanted=$(echo "$name" | tr '[:upper:]' '[:lower:]' | sed 's/utf-8/utf8/')
    if locale -a 2>/dev/null | tr '[:upper:]' '[:lower:]' | grep -qx "$wanted"; then
        return 0
    fi
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo=(sudo)
    fi
    echo "Generating the locale $name"
    local charset=${name#*.}
    if ! grep -qx "$name $charset" /etc/locale.gen 2>/dev/null; then
        echo "$name $charset" | "${sudo[@]}" tee -a /etc/locale.gen >/dev/null
    fi
    "${sudo[@]}" locale-gen >/dev/null
}
