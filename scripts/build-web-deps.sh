#!/usr/bin/env bash
# Builds the libraries the web build links against from Debian's own source packages, with
# Debian's Emscripten, as static WebAssembly libraries in one prefix.
#
#   scripts/build-web-deps.sh          build (or reuse) the prefix; prints its path last
#
# The prefix is cached outside the clone (ZORBEL_DEPS_CACHE, /var/cache/zorbel/web-deps by
# default), named by the Emscripten version and the shared build steps; inside it each
# library is rebuilt only when its source package version or its own recipe changes.
# Needs root the first time, to add deb-src entries (debian-sources.sh).
set -euo pipefail

packages=(libopenmpt fftw3)
script_path=$(readlink -f "$0")
. "$(dirname "$script_path")/debian-sources.sh"
# libopenmpt from its source lists (debian-sources.sh). FFTW: its own CMake build, single
# precision, no threads or tests.
declare -A recipes=(
    [libopenmpt]="$libopenmpt_recipe"
    [fftw3]="cmake_static -DENABLE_FLOAT=ON -DBUILD_TESTS=OFF -DENABLE_THREADS=OFF -DDISABLE_FORTRAN=ON"
)
cache_root=${ZORBEL_DEPS_CACHE:-/var/cache/zorbel/web-deps}
jobs=${ZORBEL_DEPS_JOBS:-2}
log() { echo "[web-deps] $*" >&2; }

# Debian's emcc runs its JavaScript passes with the system's Node.js and Debian's acorn.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}

# Build helpers: the prefix's name depends on this block and the compiler.
cmake_static() {  # CMake project in the current folder, compiled to WebAssembly
    nice -n 10 emcmake cmake -S . -B build-web -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_C_FLAGS_RELEASE="-O2" -DCMAKE_CXX_FLAGS_RELEASE="-O2" \
        -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF "$@" > ../configure.log 2>&1 \
        || { tail -30 ../configure.log >&2; exit 1; }
    nice -n 10 cmake --build build-web -j "$jobs" > ../make.log 2>&1 || { tail -40 ../make.log >&2; exit 1; }
    cmake --install build-web > ../install.log 2>&1
}
# End of helpers

add_source_entries
helpers=$(sed -n '/^# Build helpers/,/^# End of helpers/p' "$script_path")
prefix=$cache_root/$( { emcc --version | head -1; echo "$helpers"; } | sha256sum | cut -c1-16)
mkdir -p "$prefix/stamps"

build_source_packages
