#!/usr/bin/env bash
# Builds the Debian package from an already built tree into a scratch folder and checks what a
# user gets from it: every file in its place, icons of the sizes their folders promise, a valid
# desktop entry and AppStream file, and dependencies that cover every library the program links.
#   checkpackage.sh <build folder>
set -euo pipefail

build=$(cd "$1" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

if ! cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch" >"$scratch/cpack.log" 2>&1; then
    cat "$scratch/cpack.log"
    exit 1
fi
debs=("$scratch"/*.deb)
deb=${debs[0]}
echo "Package: ${deb##*/}"
dpkg-deb -c "$deb" | awk '{ $1 = $2 = $3 = $4 = $5 = ""; sub(/^ +/, ""); print }'
root="$scratch/root"
dpkg-deb -x "$deb" "$root"

appid=org.marlowin.Marlowin
expected=(
    usr/bin/marlowin
    usr/bin/marlowin-sweep
    "usr/share/marlowin/Marlowin Pro Quick Help.pdf"
    usr/share/marlowin/examples/loan.fods
    usr/share/marlowin/marlowin-kernel.oxt
    "usr/share/applications/$appid.desktop"
    "usr/share/metainfo/$appid.metainfo.xml"
)
sizes=(16 32 48 64 128 256 512)
for size in "${sizes[@]}"; do
    expected+=("usr/share/icons/hicolor/${size}x${size}/apps/$appid.png")
done
for file in "${expected[@]}"; do
    [ -f "$root/$file" ] || fail "missing /$file"
done
[ -x "$root/usr/bin/marlowin" ] || fail "/usr/bin/marlowin is not executable"
[ -x "$root/usr/bin/marlowin-sweep" ] || fail "/usr/bin/marlowin-sweep is not executable"
head -c 5 "$root/usr/share/marlowin/Marlowin Pro Quick Help.pdf" | grep -q '%PDF-' ||
    fail "the quick help is not a PDF"
kernel="$root/usr/share/marlowin/marlowin-kernel.oxt"
[ -f "$kernel" ] && ! { head -c 2 "$kernel" | grep -q PK && grep -q marlowinkernel.uno.so "$kernel"; } &&
    fail "the kernel extension is not a zip holding the kernel library"
for size in "${sizes[@]}"; do
    icon="$root/usr/share/icons/hicolor/${size}x${size}/apps/$appid.png"
    [ -f "$icon" ] && ! file "$icon" | grep -q "PNG image data, $size x $size," &&
        fail "icon in ${size}x${size} is $(file -b "$icon")"
done
# The program looks for its help in the data folder by a path relative to its own folder.
lookup=$(strings "$root/usr/bin/marlowin" | grep -m1 -E '^(\.\./)+share/marlowin/$' || true)
[ -n "$lookup" ] && [ -f "$root/usr/bin/${lookup}Marlowin Pro Quick Help.pdf" ] ||
    fail "the program does not look for its help where the package puts it (${lookup:-no path found})"

desktop-file-validate "$root/usr/share/applications/$appid.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$root/usr/share/metainfo/$appid.metainfo.xml" || fail "metainfo"
grep -qx "Exec=marlowin" "$root/usr/share/applications/$appid.desktop" ||
    fail "the desktop entry does not start the installed program"

# Every library the program links comes from a package the package depends on, and every
# dependency is a real package name (this machine installed them to build the program).
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
names=$(echo "$depends" | tr ',' '\n' | sed 's/(.*)//; s/ //g')
for name in $names; do
    dpkg-query -W "$name" >/dev/null 2>&1 || fail "dependency $name is not a package here"
done
libraries=$(objdump -p "$root/usr/bin/marlowin" | awk '/NEEDED/ { print $2 }')
patterns=()
for library in $libraries; do
    patterns+=("*/$library")
done
# One query for all libraries: lines "package[:arch][, package...]: /path/library".
owners=$(dpkg-query -S "${patterns[@]}" 2>/dev/null |
    sed -E 's/:[a-z0-9]+(,|:)/\1/g; s/: (.*\/)?/ /')
for library in $libraries; do
    covered=no
    for owner in $(echo "$owners" | awk -v lib="$library" '$NF == lib { $NF = ""; print }' | tr -d ','); do
        if echo "$names" | grep -qx "$owner"; then
            covered=yes
        fi
    done
    [ "$covered" = yes ] || fail "$library is not covered by the dependencies"
done

if [ "$failures" -gt 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "Package checked"
