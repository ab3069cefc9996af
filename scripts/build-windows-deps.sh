#!/usr/bin/env bash
# Builds the libraries the Windows build links against from Debian's own source packages,
# with the mingw-w64 cross compiler, as static libraries in one prefix.
#
#   scripts/build-windows-deps.sh          build (or reuse) the prefix; prints its path last
#
# The prefix is cached outside the clone (ZORBEL_DEPS_CACHE, /var/cache/zorbel/win64-deps by
# default), named by the compiler version and the shared build steps; inside it each
# library is rebuilt only when its source package version or its own recipe changes, so a
# second run (or a second clone) reuses everything.
# Needs root the first time: it adds a deb-src entry for the archive the machine already
# uses. Zlib comes from Debian's libz-mingw-w64-dev; CLI11 is header-only (the host's).
set -euo pipefail

host=x86_64-w64-mingw32
packages=(libopenmpt portaudio19 fftw3 libpng1.6 libsndfile googletest benchmark)
script_path=$(readlink -f "$0")
. "$(dirname "$script_path")/debian-sources.sh"
# What each library is configured with: static only, optional codecs and programs off. Each
# recipe runs as shell commands in the unpacked source folder.
declare -A recipes=(
    [libopenmpt]="$libopenmpt_recipe"  # debian-sources.sh: about 20 minutes faster
    # PortAudio's own copies of old Windows SDK headers clash with mingw-w64's complete ones;
    # without them its WASAPI file needs the SDK headers named up front (GUIDs defined there).
    [portaudio19]="rm -rf src/hostapi/wasapi/mingw-include
        wasapi=src/hostapi/wasapi/pa_win_wasapi.c
        { printf '#define NTDDI_VERSION 0x06000000\\n#define _WIN32_WINNT 0x0600\\n#define COBJMACROS\\n'
          printf '#include <%s>\\n' windows.h initguid.h mmreg.h avrt.h audioclient.h endpointvolume.h \\
              mmdeviceapi.h functiondiscoverykeys_devpkey.h devicetopology.h
          cat \$wasapi; } > wasapi.c && mv wasapi.c \$wasapi
        configure_static --with-winapi=wasapi,wmme --without-jack --without-alsa --without-oss"
    [fftw3]="configure_static --enable-float --enable-sse2 --with-our-malloc --disable-fortran --disable-doc \
        --disable-threads --disable-openmp"
    [libpng1.6]="configure_static --disable-tests --disable-tools"
    [libsndfile]="cmake_static -DENABLE_EXTERNAL_LIBS=OFF -DENABLE_MPEG=OFF -DBUILD_PROGRAMS=OFF \
        -DBUILD_EXAMPLES=OFF -DBUILD_TESTING=OFF -DENABLE_CPACK=OFF -DENABLE_PACKAGE_CONFIG=OFF"
    [googletest]="cmake_static -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON"
    [benchmark]="cmake_static -DBENCHMARK_ENABLE_TESTING=OFF -DBENCHMARK_ENABLE_GTEST_TESTS=OFF \
        -DBENCHMARK_ENABLE_WERROR=OFF -DBENCHMARK_ENABLE_INSTALL=ON -DGIT_VERSION=0.0.0"
)
cache_root=${ZORBEL_DEPS_CACHE:-/var/cache/zorbel/win64-deps}
jobs=${ZORBEL_DEPS_JOBS:-2}
log() { echo "[deps] $*" >&2; }

# Build helpers: the prefix's name depends on this block and the compiler.
export CC=$host-gcc-posix CXX=$host-g++-posix AR=$host-ar RANLIB=$host-ranlib
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
# End of helpers

add_source_entries
helpers=$(sed -n '/^# Build helpers/,/^# End of helpers/p' "$script_path")
prefix=$cache_root/$( { $host-g++-posix --version | head -1; echo "$helpers"; } | sha256sum | cut -c1-16)
export CPPFLAGS="-I$prefix/include" LDFLAGS="-L$prefix/lib"
export PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig PKG_CONFIG_PATH=
mkdir -p "$prefix/stamps"

build_source_packages
