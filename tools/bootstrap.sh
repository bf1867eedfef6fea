#!/usr/bin/env bash
# Installs and builds everything the project needs, idempotently:
#   - Debian packages (cross compiler, Wine, Xvfb, native libraries, test tools)
#   - Poco (Foundation+Zip), libpng, libjpeg-turbo and GoogleTest cross-built for mingw-w64
#     from Debian's own source packages, into a cache outside the clone keyed by their versions, with their
#     licence texts; x64 by default, x86 (32-bit) with `bootstrap.sh x86`, each its own keyed set
#   - a ready Wine prefix template (fonts, crash and virtual-desktop settings)
# Prints the shell assignments of the paths it prepared on its last lines (see tools/env.sh).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source "$here/env.sh"

log() { printf '[bootstrap] %s\n' "$*" >&2; }
as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

# Several builds may bootstrap at once: one works, the others wait for it.
exec 9>"$LOGORA_CACHE/.bootstrap.lock"
flock 9

packages=(
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools libz-mingw-w64-dev wine64 xvfb xauth imagemagick nasm
  fonts-wqy-microhei fonts-wine
  g++ cmake ninja-build pkg-config dpkg-dev
  libpoco-dev zlib1g-dev libpng-dev libjpeg-dev googletest libgtest-dev libbenchmark-dev
  libtinyxml2-dev libpugixml-dev
  clang libclang-rt-14-dev
  python3 zip unzip libxml2-utils nsis
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  log "installing: ${missing[*]}"
  as_root apt-get update -qq
  DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# ---- dependencies built for mingw from Debian's source packages ----------------------------------------
ver() { dpkg-query -W -f='${Version}' "$1" 2>/dev/null || true; }
src_ver() { apt-cache showsrc "$1" 2>/dev/null | awk '/^Version:/ {print $2; exit}'; }

ensure_deb_src() {
  local f=/etc/apt/sources.list.d/logora-deb-src.sources
  if [ ! -f "$f" ]; then
    log "enabling Debian source packages"
    as_root tee "$f" >/dev/null <<SRC
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
    as_root apt-get update -qq
  fi
  if [ -z "$(src_ver poco)" ]; then as_root apt-get update -qq; fi
}

# Keeps the licence texts of the source packages unpacked in SRC in DEPS/licenses (the work folder that holds
# the sources is deleted after the build): one folder per library with its texts and a VERSION file.
keep_licenses() {  # SRC DEPS
  local src=$1 out=$2/licenses d
  rm -rf "$out"; mkdir -p "$out"
  copy_texts() {  # NAME VERSION SOURCE-FOLDER FILE...
    local name=$1 version=$2 from=$3; shift 3
    mkdir -p "$out/$name"
    for f in "$@"; do cp "$from/$f" "$out/$name/" || { log "no licence text $f in $from"; return 1; }; done
    printf '%s\n' "$version" > "$out/$name/VERSION"
  }
  d=$(find "$src" -maxdepth 1 -type d -name 'poco-*' | head -1);         copy_texts poco "$(ver libpoco-dev)" "$d" LICENSE
  d=$(find "$src" -maxdepth 1 -type d -name 'libpng1.6-*' | head -1);    copy_texts libpng "$(ver libpng-dev)" "$d" LICENSE
  d=$(find "$src" -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -1)
  copy_texts libjpeg-turbo "$(ver libjpeg62-turbo-dev)" "$d" LICENSE.md README.ijg
  # Poco Foundation carries zlib, PCRE and double-conversion inside itself; their headers hold their licences.
  d=$(find "$src" -maxdepth 1 -type d -name 'poco-*' | head -1)/Foundation/src
  copy_texts poco-bundled "$(ver libpoco-dev)" "$d" zlib.h pcre.h double-conversion.h
  touch "$out/.complete-r2"  # tools/notices/notices.py: LICENSES_MARKER
}

# A dependency set built before its licence texts were kept gets them from the same source packages.
ensure_licenses() {  # DEPS
  [ -f "$1/licenses/.complete-r2" ] && return 0
  ensure_deb_src
  local tmp; tmp=$(mktemp -d "$LOGORA_CACHE/licenses-XXXXXX")
  log "fetching the source packages' licence texts"
  ( cd "$tmp" && apt-get source --download-only poco libpng1.6 libjpeg-turbo >/dev/null 2>&1
    for d in *.dsc; do dpkg-source --no-check -x "$d" >/dev/null 2>&1; done )
  keep_licenses "$tmp" "$1"
  rm -rf "$tmp"
}

# Builds Poco (Foundation+Zip), libpng, libjpeg-turbo and GoogleTest (and Google Benchmark when asked) for one
# mingw-w64 target into DEPS: build_mingw_deps TRIPLET TOOLCHAIN-FILE DEPS WORK [bench]
build_mingw_deps() {
  local triplet=$1 tc=$2 deps=$3 work=$4 with_bench=${5:-}
  local sysroot=/usr/$triplet jobs; jobs=$(nproc)
  ensure_deb_src
  rm -rf "$work" "$deps"; mkdir -p "$work/src" "$deps"
  local common=(-G Ninja -DCMAKE_TOOLCHAIN_FILE="$tc" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$deps"
          -DBUILD_SHARED_LIBS=OFF -DZLIB_LIBRARY=$sysroot/lib/libz.a
          -DZLIB_INCLUDE_DIR=$sysroot/include)
  local sources=(poco libpng1.6 libjpeg-turbo)
  [ -n "$with_bench" ] && sources+=(benchmark)
  # libpng's Debian version differs from its source package name; the installed -dev version keys the cache.
  ( cd "$work/src"
    log "fetching source packages"
    apt-get source --download-only "${sources[@]}" >/dev/null 2>&1
    for d in *.dsc; do dpkg-source --no-check -x "$d" >/dev/null 2>&1; done )
  local poco_src png_src jpeg_src bench_src
  poco_src=$(find "$work/src" -maxdepth 1 -type d -name 'poco-*' | head -1)
  png_src=$(find "$work/src" -maxdepth 1 -type d -name 'libpng1.6-*' | head -1)
  jpeg_src=$(find "$work/src" -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -1)
  bench_src=$(find "$work/src" -maxdepth 1 -type d -name 'benchmark-*' | head -1)

  # Poco includes <Winsock2.h>/<Iphlpapi.h> with capitals; mingw's headers are lower-case.
  local shim="$work/include-shim" h; mkdir -p "$shim"
  for h in Winsock2.h Iphlpapi.h WS2tcpip.h Windows.h; do
    ln -sf "$sysroot/include/$(echo "$h" | tr 'A-Z' 'a-z')" "$shim/$h"
  done

  log "building googletest ($triplet)"
  cmake -S /usr/src/googletest -B "$work/gtest" "${common[@]}" -Dgtest_disable_pthreads=OFF >/dev/null
  cmake --build "$work/gtest" -j"$jobs" >/dev/null && cmake --install "$work/gtest" >/dev/null

  if [ -n "$with_bench" ]; then
    log "building Google Benchmark ($triplet)"
    cmake -S "$bench_src" -B "$work/bench" "${common[@]}" -DBENCHMARK_ENABLE_TESTING=OFF \
          -DBENCHMARK_ENABLE_GTEST_TESTS=OFF -DBENCHMARK_ENABLE_WERROR=OFF -DBENCHMARK_ENABLE_INSTALL=ON -DGIT_VERSION=0.0.0 >/dev/null
    cmake --build "$work/bench" -j"$jobs" >/dev/null && cmake --install "$work/bench" >/dev/null
  fi

  log "building libpng ($triplet)"
  cmake -S "$png_src" -B "$work/png" "${common[@]}" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
        -DPNG_EXECUTABLES=OFF -DSKIP_INSTALL_PROGRAMS=ON >/dev/null
  cmake --build "$work/png" -j"$jobs" >/dev/null && cmake --install "$work/png" >/dev/null

  log "building libjpeg-turbo ($triplet)"
  cmake -S "$jpeg_src" -B "$work/jpeg" "${common[@]}" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=ON \
        -DWITH_TURBOJPEG=OFF -DCMAKE_ASM_NASM_COMPILER=nasm >/dev/null
  cmake --build "$work/jpeg" -j"$jobs" >/dev/null && cmake --install "$work/jpeg" >/dev/null

  log "building Poco Foundation+Zip ($triplet, a few minutes)"
  cmake -S "$poco_src" -B "$work/poco" "${common[@]}" -DCMAKE_MC_COMPILER=/usr/bin/$triplet-windmc \
        -DCMAKE_CXX_FLAGS="-I$shim" -DCMAKE_C_FLAGS="-I$shim" -DPOCO_STATIC=ON -DPOCO_UNBUNDLED=OFF \
        -DENABLE_FOUNDATION=ON -DENABLE_ZIP=ON -DENABLE_XML=OFF -DENABLE_JSON=OFF -DENABLE_NET=OFF \
        -DENABLE_NETSSL=OFF -DENABLE_CRYPTO=OFF -DENABLE_JWT=OFF -DENABLE_DATA=OFF -DENABLE_DATA_SQLITE=OFF \
        -DENABLE_DATA_MYSQL=OFF -DENABLE_DATA_POSTGRESQL=OFF -DENABLE_DATA_ODBC=OFF -DENABLE_MONGODB=OFF \
        -DENABLE_REDIS=OFF -DENABLE_PDF=OFF -DENABLE_UTIL=OFF -DENABLE_SEVENZIP=OFF -DENABLE_APACHECONNECTOR=OFF \
        -DENABLE_CPPPARSER=OFF -DENABLE_ENCODINGS=OFF -DENABLE_ENCODINGS_COMPILER=OFF -DENABLE_PAGECOMPILER=OFF \
        -DENABLE_PAGECOMPILER_FILE2PAGE=OFF -DENABLE_POCODOC=OFF -DENABLE_TESTS=OFF -DENABLE_ACTIVERECORD=OFF \
        -DENABLE_ACTIVERECORD_COMPILER=OFF -DENABLE_PROMETHEUS=OFF >/dev/null
  cmake --build "$work/poco" -j"$jobs" >/dev/null && cmake --install "$work/poco" >/dev/null

  keep_licenses "$work/src" "$deps"
  rm -rf "$work"
  local libs=(libgtest.a libpng16.a libjpeg.a libPocoFoundation.a libPocoZip.a) lib
  [ -n "$with_bench" ] && libs+=(libbenchmark.a)
  for lib in "${libs[@]}"; do
    [ -f "$deps/lib/$lib" ] || { log "missing $deps/lib/$lib after the build"; exit 1; }
  done
  touch "$deps/.complete"
  log "dependencies ready in $deps"
}

# x64 (the default) or x86: which dependency set this run prepares and prints.
arch=${1:-x64}
lib_vers="poco$(ver libpoco-dev)-png$(ver libpng-dev)-jpeg$(ver libjpeg62-turbo-dev)-gtest$(ver googletest)"
case $arch in
  x64)
    compiler_ver=$(x86_64-w64-mingw32-g++-posix -dumpfullversion)
    dep_key="mingw${compiler_ver}-${lib_vers}-bench$(ver libbenchmark-dev)-r4"
    dep_key=${dep_key//[:~+]/_}
    deps="$LOGORA_CACHE/deps-$dep_key"
    [ -f "$deps/.complete" ] ||
      build_mingw_deps x86_64-w64-mingw32 "$LOGORA_ROOT/cmake/mingw-w64.cmake" "$deps" "$LOGORA_CACHE/work-$dep_key" bench ;;
  x86)
    compiler_ver=$(i686-w64-mingw32-g++-posix -dumpfullversion)
    dep_key="mingw-i686-${compiler_ver}-${lib_vers}-r1"
    dep_key=${dep_key//[:~+]/_}
    deps="$LOGORA_CACHE/deps-$dep_key"
    [ -f "$deps/.complete" ] ||
      build_mingw_deps i686-w64-mingw32 "$LOGORA_ROOT/cmake/mingw-w64-i686.cmake" "$deps" "$LOGORA_CACHE/work-$dep_key" ;;
  *) log "unknown architecture: $arch (x64 or x86)"; exit 2 ;;
esac
ensure_licenses "$deps"

# ---- Wine prefix template ---------------------------------------------------------------------------------
wine_key="wine$(ver wine64)-$(cat "$here/wine/prefix.reg.in" "$here/wine/make-prefix.sh" | sha1sum | cut -c1-10)"
wine_key=${wine_key//[:~+]/_}
prefix_tpl="$LOGORA_CACHE/wineprefix-$wine_key"
if [ ! -f "$prefix_tpl/.complete" ]; then
  log "creating the Wine prefix template"
  rm -rf "$prefix_tpl"
  "$here/wine/make-prefix.sh" "$prefix_tpl"
  touch "$prefix_tpl/.complete"
fi

flock -u 9
printf 'LOGORA_DEPS=%q\nLOGORA_PREFIX_TEMPLATE=%q\n' "$deps" "$prefix_tpl"
