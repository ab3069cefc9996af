#!/usr/bin/env bash
# Builds the libraries the Windows build links against from Debian's own source packages,
# with the mingw-w64 cross compiler, as static libraries in one prefix.
#
#   scripts/build-windows-deps.sh          build (or reuse) the prefix; prints its path last
#
# The prefix is cached outside the clone, keyed by the source package versions, the
# compiler version and the build recipes below, so a second run (or a second clone) reuses it.
# Needs root the first time: it adds a deb-src entry for the archive the machine already
# uses. Zlib comes from Debian's libz-mingw-w64-dev; CLI11 is header-only (the host's).
set -euo pipefail

host=x86_64-w64-mingw32
packages=(libopenmpt portaudio19 fftw3 libpng1.6 libsndfile googletest benchmark)
cache_root=${ZORBEL_DEPS_CACHE:-/var/cache/zorbel/win64-deps}
jobs=${ZORBEL_DEPS_JOBS:-2}
script_path=$(readlink -f "$0")
log() { echo "[deps] $*" >&2; }

# A deb-src twin of each deb entry, in a sources file of our own.
add_source_entries() {
    local target=/etc/apt/sources.list.d/zorbel-deb-src.sources
    [ -f "$target" ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        log "needs root once to add $target (deb-src entries); run it with sudo"; exit 1
    fi
    local tmp; tmp=$(mktemp)
    for file in /etc/apt/sources.list.d/*.sources; do
        [ "$file" = "$target" ] && continue
        grep -qi 'debian' "$file" || continue
        # deb822 stanzas: keep the Debian ones, turn their type into deb-src.
        awk 'BEGIN{RS=""; ORS="\n\n"} /Types:[^\n]*deb/ && /debian/ {sub(/Types:[^\n]*/, "Types: deb-src"); print}' "$file" >> "$tmp"
    done
    if [ -f /etc/apt/sources.list ]; then
        grep -E '^deb[[:space:]]' /etc/apt/sources.list | grep debian | sed 's/^deb /deb-src /' > "$tmp.list" || true
        [ -s "$tmp.list" ] && install -m 644 "$tmp.list" /etc/apt/sources.list.d/zorbel-deb-src.list
        rm -f "$tmp.list"
    fi
    install -m 644 "$tmp" "$target"; rm -f "$tmp"
    log "added $target; updating the package lists"
    apt-get update -qq
}

source_version() {  # the version apt-get source would fetch: the highest one listed
    apt-cache showsrc --only-source "$1" 2>/dev/null | sed -n 's/^Version: //p' | sort -V | tail -1
}

add_source_entries
versions=""
for package in "${packages[@]}"; do
    version=$(source_version "$package")
    if [ -z "$version" ]; then
        [ "$(id -u)" -eq 0 ] && apt-get update -qq && version=$(source_version "$package")
        [ -n "$version" ] || { log "no source package $package"; exit 1; }
    fi
    versions+="$package=$version "
done
recipes=$(sed -n '/^# Build recipes/,/^# End of recipes/p' "$script_path")
key=$( { echo "$versions"; $host-g++-posix --version | head -1; echo "$recipes"; } | sha256sum | cut -c1-16)
prefix=$cache_root/$key
if [ -f "$prefix/.complete" ]; then
    log "reusing $prefix"
    echo "$prefix"; exit 0
fi

mkdir -p "$cache_root"
work=$cache_root/work-$key
rm -rf "$work" "$prefix"; mkdir -p "$work" "$prefix"
log "building into $prefix: $versions"
start=$(date +%s)

# Build recipes: everything from here to the end marker decides what the prefix holds.
export CC=$host-gcc-posix CXX=$host-g++-posix AR=$host-ar RANLIB=$host-ranlib
export CPPFLAGS="-I$prefix/include" LDFLAGS="-L$prefix/lib"
export PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig PKG_CONFIG_PATH=
export CFLAGS="-O2" CXXFLAGS="-O2"
configure_static() {  # autotools project in the current folder
    nice -n 10 ./configure --host=$host --prefix="$prefix" --enable-static --disable-shared "$@" > ../configure.log 2>&1 \
        || { tail -30 ../configure.log >&2; exit 1; }
    nice -n 10 make -j"$jobs" > ../make.log 2>&1 || { tail -40 ../make.log >&2; exit 1; }
    make install > ../install.log 2>&1
}
cmake_static() {  # CMake project in the current folder
    nice -n 10 cmake -S . -B build-win -G Ninja -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_SYSTEM_PROCESSOR=x86_64 \
        -DCMAKE_C_COMPILER=$CC -DCMAKE_CXX_COMPILER=$CXX -DCMAKE_FIND_ROOT_PATH="/usr/$host;$prefix" \
        -DCMAKE_FIND_ROOT_PATH_MODE_PROGRAM=NEVER -DCMAKE_FIND_ROOT_PATH_MODE_LIBRARY=ONLY \
        -DCMAKE_FIND_ROOT_PATH_MODE_INCLUDE=ONLY -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF "$@" > ../configure.log 2>&1 \
        || { tail -30 ../configure.log >&2; exit 1; }
    nice -n 10 cmake --build build-win -j "$jobs" > ../make.log 2>&1 || { tail -40 ../make.log >&2; exit 1; }
    cmake --install build-win > ../install.log 2>&1
}
enter_source() {  # fetch and unpack one source package, cd into it
    mkdir -p "$work/$1"; cd "$work/$1"
    apt-get source -qq "$1" > fetch.log 2>&1 || { cat fetch.log >&2; exit 1; }
    cd "$(find . -mindepth 1 -maxdepth 1 -type d | head -1)"
}

for package in "${packages[@]}"; do
    log "$package"
    enter_source "$package"
    case $package in
        libpng1.6) configure_static --disable-tests --disable-tools ;;
        fftw3) configure_static --enable-float --enable-sse2 --disable-fortran --disable-doc \
                   --disable-threads --disable-openmp ;;
        portaudio19) configure_static --with-winapi=wasapi,wmme --without-jack --without-alsa --without-oss ;;
        libsndfile) configure_static --disable-external-libs --disable-mpeg --disable-sqlite \
                        --disable-alsa --disable-full-suite ;;
        libopenmpt) configure_static --without-zlib --without-mpg123 --without-ogg --without-vorbis \
                        --without-vorbisfile --without-pulseaudio --without-portaudio --without-portaudiocpp \
                        --without-sndfile --without-flac --disable-openmpt123 --disable-examples \
                        --disable-tests --disable-doxygen-doc ;;
        googletest) cmake_static -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON ;;
        benchmark) cmake_static -DBENCHMARK_ENABLE_TESTING=OFF -DBENCHMARK_ENABLE_GTEST_TESTS=OFF \
                       -DBENCHMARK_ENABLE_WERROR=OFF -DBENCHMARK_ENABLE_INSTALL=ON ;;
    esac
done
# End of recipes

rm -rf "$work"
echo "$versions" > "$prefix/versions.txt"
touch "$prefix/.complete"
log "built in $(( $(date +%s) - start )) s"
echo "$prefix"
