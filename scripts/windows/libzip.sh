#!/usr/bin/env bash
# Builds libzip for the Windows programs: Debian's own source package, the
# version the Linux build uses, fetched with `apt-get source` and built once
# as a static library with mingw-w64 into DEPS (the Windows build tree's
# deps/): the source under DEPS/src, the library under DEPS/prefix, where the
# windows preset looks for it. Only zlib is needed: no crypto backends, no
# bzip2 or lzma, no tools, documents or regression tests.
# Quick when done before: a stamp names the version and options it was built with.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
deps=$(realpath -m "${1:?usage: $0 DEPS-DIRECTORY}")
toolchain=$root/cmake/mingw-w64-x86_64.cmake
prefix=$deps/prefix
mingw=/usr/x86_64-w64-mingw32

# The source version of the libzip the Linux build links, e.g. 1.7.3-1.
version=$(dpkg-query -W -f='${source:Version}' libzip-dev)
upstream=${version%-*}
upstream=${upstream#*:}

options=(
  -DCMAKE_BUILD_TYPE=Release
  -DBUILD_SHARED_LIBS=OFF
  -DENABLE_COMMONCRYPTO=OFF -DENABLE_GNUTLS=OFF -DENABLE_MBEDTLS=OFF
  -DENABLE_OPENSSL=OFF -DENABLE_WINDOWS_CRYPTO=OFF
  -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF -DENABLE_ZSTD=OFF
  -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF
  # The static zlib: FindZLIB alone would pick the import library of the DLL.
  -DZLIB_INCLUDE_DIR=$mingw/include -DZLIB_LIBRARY=$mingw/lib/libz.a
)
stamp_text="libzip $version; $(sha256sum "$toolchain" | cut -c1-16); ${options[*]}"
stamp=$prefix/libzip.stamp
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$stamp_text" ]; then
  exit 0
fi

mkdir -p "$deps"
log=$deps/libzip.log
: > "$log"
# Runs a step with its output in the log, shown only when the step fails.
quietly() {
  "$@" >>"$log" 2>&1 || {
    echo "libzip: failed: $*; the end of $log:" >&2
    tail -n 30 "$log" >&2
    exit 1
  }
}

source_dir=$deps/src/libzip-$upstream
if [ ! -f "$source_dir/CMakeLists.txt" ]; then
  bash "$root/scripts/windows/deb-src.sh"
  rm -rf "$deps/src"
  mkdir -p "$deps/src"
  echo "libzip: fetching Debian's source of libzip $version" >&2
  (cd "$deps/src" && quietly apt-get source "libzip=$version")
fi

echo "libzip: building $upstream for Windows (static)" >&2
build=$deps/libzip-build
rm -rf "$build" "$prefix"
quietly cmake -S "$source_dir" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_INSTALL_PREFIX="$prefix" "${options[@]}"
quietly cmake --build "$build" -j"$(nproc)"
quietly cmake --install "$build"
echo "$stamp_text" > "$stamp"
