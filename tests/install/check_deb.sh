#!/usr/bin/env bash
# Makes the Debian package from the build (cpack -G DEB into a temporary
# folder) and checks its name, its computed dependencies and lintian's
# verdict. Skipped (77) where dpkg-shlibdeps or lintian is not installed.
# Usage: check_deb.sh BUILD_DIR VERSION
set -uo pipefail
build="$1"
version="$2"
for tool in dpkg-shlibdeps dpkg-deb lintian; do
    command -v "$tool" > /dev/null || { echo "$tool not installed: skipped"; exit 77; }
done
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

(cd "$build" && cpack -G DEB -B "$out" > "$out/cpack.log" 2>&1) || { cat "$out/cpack.log"; exit 1; }
deb="$out/pennaro_${version}_amd64.deb"
[ -f "$deb" ] || { ls "$out"; echo "FAIL: no $deb"; exit 1; }
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libsqlite3-0 libxlsxwriter4; do
    [[ "$depends" == *"$library"* ]] || fail "Depends lacks $library: $depends"
done
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version"
contents=$(dpkg-deb -c "$deb")
[[ "$contents" == *' ./usr/bin/pennaro'$'\n'* ]] || fail "no /usr/bin/pennaro in the package"
report=$(lintian --fail-on error "$deb" 2>&1) || fail "lintian: $report"
echo "$report"

[ "$failures" -eq 0 ] || { echo "$failures failures"; exit 1; }
echo "package $deb checked"
