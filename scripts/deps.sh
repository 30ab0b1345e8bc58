# Installs the Debian packages Tessary needs to build and test, skipping those already there.
# Sourced by run.sh and test.sh.

tessary_packages=(g++ cmake make pkg-config googletest libgtest-dev libgmock-dev libbenchmark-dev
                  qt6-base-dev zlib1g-dev xvfb xauth python3 desktop-file-utils appstream
                  shared-mime-info)
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
