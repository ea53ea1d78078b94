#!/usr/bin/env bash
# Prepares a Debian machine to build and test Zentrova:
#  1. installs the Debian packages the build and the tests need (only the missing ones);
#  2. fetches the source packages of libtiff, freetype, libunistring and PoDoFo, checks them
#     against pinned hashes and cross-builds them, with GoogleTest, for x86_64-w64-mingw32.
# The libraries land in a cache outside the repository, one folder per hash of this recipe,
# so a second run finds them and ends within seconds.
# Prints nothing but progress on stderr; the last line on stdout is the dependency prefix.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(dirname "$here")
cache_root=${ZENTROVA_DEPS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/zentrova-deps}
jobs=$(nproc 2>/dev/null || echo 4)

say() { printf 'bootstrap: %s\n' "$*" >&2; }

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# ---------------------------------------------------------------- packages
packages=(
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  mingw-w64-x86-64-dev libz-mingw-w64-dev libboost1.81-dev googletest
  cmake ninja-build make autoconf automake libtool pkg-config dpkg-dev xz-utils bzip2 patch
  wine64 wine xvfb x11-apps imagemagick
  fonts-dejavu-core fonts-liberation2 fonts-wine
  qpdf poppler-utils libtiff-tools python3
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  say "installing ${missing[*]}"
  as_root apt-get update -q >&2
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}" >&2
fi

# ---------------------------------------------------------------- recipe
# Source packages, pinned by version and by the sha256 of every tarball used.
# PoDoFo's Debian tarball cannot be fetched (the mirror answers 404): only its orig tarball is used.
declare -A src_version=(
  [tiff]=4.5.0-6+deb12u4
  [freetype]=2.12.1+dfsg-5+deb12u4
  [libunistring]=1.0-2
  [libpodofo]=0.9.8+dfsg-3
)
declare -A src_sha256=(
  [tiff_4.5.0.orig.tar.bz2]=638f43d7dea33948d5dee7f39572fc0194d9cc3c74195de9dd26a4388a1f880a
  [tiff_4.5.0-6+deb12u4.debian.tar.xz]=4ee50a8cdf74a184d94e65a04f3c9de466cb0b74ef5393fb5ca65666fccb864b
  [freetype_2.12.1+dfsg.orig.tar.xz]=7dedb6b9adf331559daea614a83b8de42a753e685ec8e1c4bdb4529eb880b0d1
  [freetype_2.12.1+dfsg-5+deb12u4.debian.tar.xz]=c625a97a78e4c74acd32e5b63b3973c9ea8a5c3d7b7f8f7c02def4421589c61b
  [freetype_2.12.1+dfsg.orig-ft2demos.tar.xz]=ce729d97f166a919a6a3037c949af01d5d6e1783614024d72683153f0bc5ef05
  [freetype_2.12.1+dfsg.orig-ft2docs.tar.xz]=6664a32e4eedaa89f45422c1150e32da46fd301c972cbfd19d2dcc6dd96f07d1
  [libunistring_1.0.orig.tar.xz]=5bab55b49f75d77ed26b257997e919b693f29fd4a1bc22e0e6e024c246c72741
  [libunistring_1.0-2.debian.tar.xz]=e550d94935cd06eafb0defd7b5d7c914c7bb80a8e818a49efcf7675206572450
  [libpodofo_0.9.8+dfsg.orig.tar.xz]=1c827b14d52b95a636ca756804a6c1b971cd0c664144f7ab9e56f36c221dabc1
)

recipe_hash=$( { cat "${BASH_SOURCE[0]}" "$here/mingw64.cmake";
                 x86_64-w64-mingw32-g++-posix --version 2>/dev/null | head -n 1; } | sha256sum | cut -c1-16)
prefix=$cache_root/$recipe_hash
if [ -f "$prefix/.complete" ]; then
  say "dependencies ready in $prefix"
  echo "$prefix"
  exit 0
fi

work=$cache_root/work-$recipe_hash
rm -rf "$work" "$prefix"
mkdir -p "$work/src" "$prefix"
trap 'say "failed; partial build left in $work"' ERR

# ---------------------------------------------------------------- sources
if ! grep -rqsE '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  say "adding a deb-src entry"
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
      | as_root tee /etc/apt/sources.list.d/zentrova-src.sources >/dev/null
  else
    grep -hE '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' \
      | as_root tee /etc/apt/sources.list.d/zentrova-src.list >/dev/null
  fi
  as_root apt-get update -q >&2
fi

cd "$work/src"
for p in "${!src_version[@]}"; do
  say "fetching source package $p ${src_version[$p]}"
  # The mirror answers 404 for some Debian tarballs; what is needed is checked below.
  apt-get source --download-only "$p=${src_version[$p]}" >"$work/fetch-$p.log" 2>&1 || true
done
for f in "${!src_sha256[@]}"; do
  [ -f "$f" ] || { say "missing tarball $f (see $work/fetch-*.log)"; exit 1; }
  echo "${src_sha256[$f]}  $f" | sha256sum -c --quiet - >&2 || { say "hash mismatch: $f"; exit 1; }
done

# unpack NAME ORIG [DEBIAN [COMPONENT...]] -> prints the source folder.
# Component tarballs (NAME_VER.orig-COMP.tar.*) unpack into the folder COMP of the tree, as
# dpkg-source lays them out; then the Debian patch series is applied, and must apply cleanly.
unpack() {
  local dir=$work/build-$1 orig=$2 deb=${3:-}
  shift 3 || shift $#
  rm -rf "$dir" && mkdir -p "$dir"
  tar -xf "$orig" -C "$dir"
  local src
  src=$(find "$dir" -mindepth 1 -maxdepth 1 -type d | head -n 1)
  local comp
  for comp in "$@"; do
    local name=${comp##*.orig-}; name=${name%%.tar.*}
    mkdir -p "$src/$name"
    tar -xf "$comp" -C "$src/$name" --strip-components=1
  done
  if [ -n "$deb" ]; then
    tar -xf "$deb" -C "$src"
    if [ -f "$src/debian/patches/series" ]; then
      local patchname
      while read -r patchname _; do
        case "$patchname" in ''|'#'*) continue ;; esac
        patch -d "$src" -p1 -s --batch --forward <"$src/debian/patches/$patchname" >&2 \
          || { say "patch $patchname does not apply to $1"; exit 1; }
      done <"$src/debian/patches/series"
    fi
  fi
  echo "$src"
}

tc=$here/mingw64.cmake
cmake_common=(-G Ninja -DCMAKE_TOOLCHAIN_FILE="$tc" -DCMAKE_BUILD_TYPE=Release
              -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix"
              -DBUILD_SHARED_LIBS=OFF -DZENTROVA_DEPS="$prefix"
              -DZLIB_LIBRARY=/usr/x86_64-w64-mingw32/lib/libz.a
              -DZLIB_LIBRARY_RELEASE=/usr/x86_64-w64-mingw32/lib/libz.a
              -DZLIB_INCLUDE_DIR=/usr/x86_64-w64-mingw32/include)

cmake_build() { # cmake_build NAME SRC ARGS...
  local name=$1 src=$2; shift 2
  say "building $name"
  cmake -S "$src" -B "$work/obj-$name" "${cmake_common[@]}" "$@" >"$work/$name.log" 2>&1 \
    || { tail -n 30 "$work/$name.log" >&2; exit 1; }
  cmake --build "$work/obj-$name" -j "$jobs" >>"$work/$name.log" 2>&1 \
    && cmake --install "$work/obj-$name" >>"$work/$name.log" 2>&1 \
    || { tail -n 30 "$work/$name.log" >&2; exit 1; }
}

# ---------------------------------------------------------------- libtiff
src=$(unpack tiff tiff_4.5.0.orig.tar.bz2 tiff_4.5.0-6+deb12u4.debian.tar.xz)
cmake_build tiff "$src" -Dzlib=ON -Dccitt=ON -Dpackbits=ON -Dlzw=ON -Dthunder=ON -Dnext=ON -Dlogluv=ON \
  -Dmdi=ON -Dpixarlog=OFF -Djpeg=OFF -Dold-jpeg=OFF -Djbig=OFF -Dlerc=OFF -Dlzma=OFF -Dzstd=OFF \
  -Dwebp=OFF -Dlibdeflate=OFF -Dcxx=OFF -Dtiff-tools=OFF -Dtiff-tests=OFF -Dtiff-contrib=OFF \
  -Dtiff-docs=OFF -Dtiff-opengl=OFF

# ---------------------------------------------------------------- freetype
src=$(unpack freetype freetype_2.12.1+dfsg.orig.tar.xz freetype_2.12.1+dfsg-5+deb12u4.debian.tar.xz \
  freetype_2.12.1+dfsg.orig-ft2demos.tar.xz freetype_2.12.1+dfsg.orig-ft2docs.tar.xz)
cmake_build freetype "$src" -DFT_REQUIRE_ZLIB=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON \
  -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON

# ---------------------------------------------------------------- libunistring (needed by PoDoFo's configure)
src=$(unpack libunistring libunistring_1.0.orig.tar.xz libunistring_1.0-2.debian.tar.xz)
say "building libunistring"
(
  mkdir -p "$work/obj-libunistring" && cd "$work/obj-libunistring"
  "$src/configure" --host=x86_64-w64-mingw32 CC=x86_64-w64-mingw32-gcc-posix \
    --prefix="$prefix" --enable-static --disable-shared >"$work/libunistring.log" 2>&1
  make -C lib -j "$jobs" >>"$work/libunistring.log" 2>&1
  make -C lib install >>"$work/libunistring.log" 2>&1
) || { tail -n 30 "$work/libunistring.log" >&2; exit 1; }

# ---------------------------------------------------------------- PoDoFo
src=$(unpack podofo libpodofo_0.9.8+dfsg.orig.tar.xz)
cmake_build podofo "$src" -DPODOFO_BUILD_STATIC=ON -DPODOFO_BUILD_SHARED=OFF -DPODOFO_BUILD_LIB_ONLY=ON \
  -DPODOFO_NO_FONTMANAGER=ON -DWANT_LIB64=OFF \
  -DCMAKE_DISABLE_FIND_PACKAGE_OpenSSL=ON -DCMAKE_DISABLE_FIND_PACKAGE_LIBIDN=ON \
  -DCMAKE_DISABLE_FIND_PACKAGE_LIBJPEG=ON -DCMAKE_DISABLE_FIND_PACKAGE_PNG=ON \
  -DCMAKE_DISABLE_FIND_PACKAGE_FONTCONFIG=ON -DCMAKE_DISABLE_FIND_PACKAGE_LUA=ON \
  -DCMAKE_DISABLE_FIND_PACKAGE_TIFF=ON -DCMAKE_DISABLE_FIND_PACKAGE_CppUnit=ON \
  -DFREETYPE_INCLUDE_DIR="$prefix/include/freetype2" -DFREETYPE_LIBRARY="$prefix/lib/libfreetype.a" \
  -DFREETYPE_LIBRARY_RELEASE="$prefix/lib/libfreetype.a" \
  -DLIBCRYPTO_FOUND=OFF -DUNISTRING_INCLUDE_DIR="$prefix/include" \
  -DUNISTRING_LIBRARY="$prefix/lib/libunistring.a"

# ---------------------------------------------------------------- GoogleTest
cmake_build googletest /usr/src/googletest -DBUILD_GMOCK=ON -Dgtest_disable_pthreads=OFF

# ---------------------------------------------------------------- Boost headers
# A folder holding only a link to the system Boost headers, so the MinGW include path never
# sees the host's other headers.
mkdir -p "$prefix/boost-include"
ln -sfn /usr/include/boost "$prefix/boost-include/boost"

touch "$prefix/.complete"
trap - ERR
rm -rf "$work"
say "dependencies built in $prefix"
echo "$prefix"
