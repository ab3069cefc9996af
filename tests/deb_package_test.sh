#!/usr/bin/env bash
# The Debian package as a user gets it: CPack makes it from the build folder, lintian finds
# no errors in it, and `apt-get install ./zorbel_<version>_<arch>.deb` installs it in a clean
# Debian 12 root, where `zorbel --version` and a short capture run from `/` (so the data
# comes from /usr/share/zorbel/Data) and write the same pictures as the build's zorbel,
# byte for byte.
#
#   tests/deb_package_test.sh BUILD_DIR BUILT_ZORBEL      the test (ctest runs it)
#   tests/deb_package_test.sh --prepare-only             only make the cached clean root
#
# Exit status 0 when all agree, 1 when something fails, 77 (ctest: skipped) when it cannot
# run here: not root (chroot needs it) or no debootstrap. The clean root is made once with
# debootstrap --variant=minbase from the archive this machine's apt uses and kept as a
# tarball ($ZORBEL_ROOT_CACHE, default /var/cache/zorbel/bookworm-minbase.tar); the packages
# apt downloads into it are kept beside it, so later runs take a minute or so.
set -euo pipefail

cache=${ZORBEL_ROOT_CACHE:-/var/cache/zorbel/bookworm-minbase.tar}
archives=${cache%.tar}-apt-archives

if [ "$(id -u)" -ne 0 ]; then
    echo "skipped: installing the package into a clean root needs root (chroot)"
    exit 77
fi
if ! command -v debootstrap >/dev/null; then
    echo "skipped: debootstrap is not installed (scripts/packages-test.txt lists it)"
    exit 77
fi

# The first Debian archive in apt's sources (deb822 or one-line format).
mirror() {
    local found
    found=$(sed -n 's/^URIs:[[:space:]]*\([^[:space:]]*\).*/\1/p' /etc/apt/sources.list.d/*.sources 2>/dev/null |
        grep -v security | head -1 || true)
    [ -n "$found" ] || found=$(sed -n 's/^deb[[:space:]]\+\(\[[^]]*\][[:space:]]\+\)\?\([^[:space:]]*\).*/\2/p' \
        /etc/apt/sources.list 2>/dev/null | grep -v security | head -1 || true)
    echo "${found:-http://deb.debian.org/debian}"
}

if [ ! -s "$cache" ]; then
    mkdir -p "$(dirname "$cache")"
    fresh=$(mktemp -d /var/tmp/zorbel-bootstrap.XXXXXX)
    echo "making the clean root once (debootstrap from $(mirror)); later runs use $cache"
    debootstrap --variant=minbase bookworm "$fresh" "$(mirror)" >"$fresh.log" 2>&1 || {
        tail -20 "$fresh.log"; rm -rf "$fresh" "$fresh.log"; exit 1; }
    tar -C "$fresh" -cf "$cache.partial" .
    mv "$cache.partial" "$cache"
    rm -rf "$fresh" "$fresh.log"
fi
[ "${1:-}" = "--prepare-only" ] && exit 0

build=${1:?usage: deb_package_test.sh BUILD_DIR BUILT_ZORBEL}
built=${2:?usage: deb_package_test.sh BUILD_DIR BUILT_ZORBEL}
for tool in cpack dpkg-shlibdeps lintian; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (scripts/packages-deb.txt lists it)"; exit 1; }
done

work=$(mktemp -d /var/tmp/zorbel-deb-test.XXXXXX)
root=$work/root
mounted=()
cleanup() {
    local point busy=0
    for point in "${mounted[@]}"; do
        umount "$point" 2>/dev/null || umount -l "$point" 2>/dev/null || true
        mountpoint -q "$point" && busy=1
    done
    # Never remove through a mount that is still there: the cache or /proc would go with it.
    if [ "$busy" = 0 ]; then rm -rf "$work"; else echo "left $work: a mount in it is still busy"; fi
}
trap cleanup EXIT

# The package, from the build folder's install rules.
(cd "$build" && cpack -G DEB -B "$work/package" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; echo "FAIL: cpack"; exit 1; }
package=$(ls "$work"/package/zorbel_*.deb)
name=$(basename "$package")
echo "$name: $(stat -c %s "$package") bytes; Depends: $(dpkg-deb -f "$package" Depends)"
lintian --fail-on error "$package" || { echo "FAIL: lintian reports errors"; exit 1; }

mkdir -p "$root" "$archives"
tar -C "$root" -xf "$cache"
cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true
cp "$package" "$root/tmp/"
# /proc: the program finds its own folder, and with it the data, through /proc/self/exe.
mount -t proc proc "$root/proc"
mounted+=("$root/proc")
mount --bind "$archives" "$root/var/cache/apt/archives"
mounted+=("$root/var/cache/apt/archives")

inside() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/tmp DEBIAN_FRONTEND=noninteractive sh -c "$1"; }
inside "apt-get update -qq && cd /tmp && apt-get install -y -qq --no-install-recommends ./$name" >"$work/apt.log" 2>&1 || {
    tail -20 "$work/apt.log"; echo "FAIL: apt-get install ./$name"; exit 1; }

version=$(inside 'cd / && zorbel --version')
expected=$("$built" --version)
[ "$version" = "$expected" ] || { echo "FAIL: the installed zorbel says '$version', the build '$expected'"; exit 1; }
echo "installed: $version, $(inside 'ls /usr/share/man/man1/zorbel.1.gz /usr/share/doc/zorbel/copyright' | tr '\n' ' ')"

capture="--from 100 --to 100.1 --scale 1 --no-audio"
inside "cd / && zorbel --capture /tmp/frames $capture" || { echo "FAIL: the installed zorbel's capture"; exit 1; }
# shellcheck disable=SC2086
(cd / && "$built" --capture "$work/reference" $capture --data "$(dirname "$built")/Data" >/dev/null)
pictures=0
for picture in "$work"/reference/frame-*.png; do
    cmp -s "$picture" "$root/tmp/frames/$(basename "$picture")" || { echo "FAIL: $(basename "$picture") differs"; exit 1; }
    pictures=$((pictures + 1))
done
installed=$(ls "$root"/tmp/frames/frame-*.png | wc -l)
[ "$pictures" -gt 0 ] && [ "$installed" -eq "$pictures" ] || {
    echo "FAIL: $installed pictures from the package, $pictures from the build"; exit 1; }
echo "the package's $pictures pictures equal the build's"
