# Sourced by scripts/run and scripts/test: installs the Debian packages the
# build, the program and the tests need, when any is missing.
PENNARO_PACKAGES="cmake ninja-build g++ pkg-config qt6-base-dev qt6-base-dev-tools qt6-translations-l10n
libsqlite3-dev libxlsxwriter-dev libgtest-dev fonts-wqy-microhei xvfb xauth python3-openpyxl poppler-utils sqlite3
libofx-dev libzip-dev libexpat1-dev libfreexl-dev desktop-file-utils appstream dpkg-dev lintian
qt6-charts-dev qt6-svg-dev"

pennaro_install_deps() {
    local missing=""
    for p in $PENNARO_PACKAGES; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
    done
    if [ -n "$missing" ]; then
        echo "installing:$missing"
        local sudo=""
        [ "$(id -u)" -ne 0 ] && sudo="sudo"
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq $missing
    fi
}

# pennaro_build ROOT [TARGET...]: configures once, then builds the targets
# named, or everything.
pennaro_build() {
    local root="$1"
    shift
    if [ ! -f "$root/build/build.ninja" ]; then
        cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
    fi
    if [ "$#" -gt 0 ]; then
        cmake --build "$root/build" -j2 --target "$@"
    else
        cmake --build "$root/build" -j2
    fi
}
