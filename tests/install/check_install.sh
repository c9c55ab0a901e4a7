#!/usr/bin/env bash
# Installs the build into a temporary prefix the way a user does
# (cmake --install --strip) and checks the tree: the programs answer, the
# data, desktop entry, icons, metainfo and manuals are where the desktop looks
# for them, the validators pass where they are installed.
# Usage: check_install.sh BUILD_DIR VERSION
set -uo pipefail
build="$1"
version="$2"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cmake --install "$build" --prefix "$prefix" --strip > /dev/null || { echo "FAIL: cmake --install"; exit 1; }

expected_files=(
    bin/pennaro bin/pennaro-cli bin/pennaro-initdb
    share/pennaro/Pennaro.html
    share/applications/pennaro.desktop
    share/metainfo/io.github.pennaro.pennaro.metainfo.xml
    share/icons/hicolor/scalable/apps/pennaro.svg
    share/man/man1/pennaro.1.gz share/man/man1/pennaro-cli.1.gz share/man/man1/pennaro-initdb.1.gz
    share/doc/pennaro/copyright share/doc/pennaro/changelog.gz
)
for size in 16 24 32 48 64 128 256; do
    expected_files+=("share/icons/hicolor/${size}x${size}/apps/pennaro.png")
done
for file in "${expected_files[@]}"; do
    [ -s "$prefix/$file" ] || fail "missing $file"
done
for size in 16 24 32 48 64 128 256; do
    # The PNG header holds the width at bytes 16-19.
    width=$(od -An -tu1 -j16 -N4 "$prefix/share/icons/hicolor/${size}x${size}/apps/pennaro.png" 2>/dev/null |
        awk '{print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4}')
    [ "$width" = "$size" ] || fail "icon ${size}x${size} is $width pixels wide"
done

for program in pennaro pennaro-cli pennaro-initdb; do
    sections=$(readelf -S "$prefix/bin/$program")
    [[ "$sections" != *.symtab* && "$sections" != *.debug_info* ]] || fail "$program is not stripped"
done
[ "$("$prefix/bin/pennaro" --version)" = "pennaro $version" ] || fail "pennaro --version"
[ "$("$prefix/bin/pennaro-initdb" --version)" = "pennaro-initdb $version" ] || fail "pennaro-initdb --version"
help="$("$prefix/bin/pennaro" --help)"
for word in 帐本文件 XDG_DATA_HOME XDG_CONFIG_HOME PENNARO_SQL_LOG pennaro-initdb; do
    [[ "$help" == *"$word"* ]] || fail "pennaro --help does not name $word"
done

desktop="$prefix/share/applications/pennaro.desktop"
for line in 'Exec=pennaro %f' 'StartupNotify=true' 'Categories=Office;Finance;' 'Icon=pennaro' 'Terminal=false'; do
    grep -qxF "$line" "$desktop" || fail "desktop entry lacks $line"
done
for key in 'Name\[zh_CN\]' 'Comment\[zh_CN\]'; do
    grep -qE "^$key=.*[^ -~]" "$desktop" || fail "desktop entry lacks a Chinese $key"
done

metainfo="$prefix/share/metainfo/io.github.pennaro.pennaro.metainfo.xml"
newest=$(grep -o '<release version="[^"]*"' "$metainfo" | head -1 | cut -d'"' -f2)
[ "$newest" = "$version" ] || fail "the newest release in the metainfo is $newest, not $version"
grep -q '<project_license>GPL-3.0-or-later</project_license>' "$metainfo" || fail "metainfo licence"
changelog=$(gzip -dc "$prefix/share/doc/pennaro/changelog.gz" | head -1)
[[ "$changelog" == "pennaro ($version) "* ]] || fail "the changelog starts with: $changelog"
grep -q 'GPL-3' "$prefix/share/doc/pennaro/copyright" || fail "copyright names no licence"
for page in pennaro pennaro-cli pennaro-initdb; do
    title=$(gzip -dc "$prefix/share/man/man1/$page.1.gz" | grep '^\.TH ')
    [[ "$title" == *"Pennaro $version"* ]] || fail "man page $page names another version: $title"
done

if command -v desktop-file-validate > /dev/null; then
    out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $out"
    [ -z "$out" ] || fail "desktop-file-validate: $out"
else
    echo "desktop-file-validate not installed: not run"
fi
if command -v appstreamcli > /dev/null; then
    appstreamcli validate --no-net --pedantic "$metainfo" > /dev/null 2>&1 ||
        fail "appstreamcli validate: $(appstreamcli validate --no-net "$metainfo" 2>&1)"
    appstreamcli validate-tree --no-net "$prefix" > /dev/null 2>&1 ||
        fail "appstreamcli validate-tree: $(appstreamcli validate-tree --no-net "$prefix" 2>&1)"
else
    echo "appstreamcli not installed: not run"
fi

[ "$failures" -eq 0 ] || { echo "$failures failures"; exit 1; }
echo "install tree checked"
