#!/usr/bin/env bash
# Configures and builds one configuration: tools/build.sh native|windows|windows-x86 [extra cmake args...]
#   native      -> build/native       (host g++, ASan+UBSan, platform-free libraries and their tests)
#   windows     -> build/windows      (mingw-w64 x64, static, the product and its tests)
#   windows-x86 -> build/windows-x86  (mingw-w64 i686, the same for 32-bit Windows)
# LOGORA_BUILD_DIR chooses another folder; LOGORA_BUILD_TARGETS builds only the targets it names.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/env.sh"
kind=${1:?native or windows}; shift
arch=x64; [ "$kind" = windows-x86 ] && arch=x86
eval "$("$here/bootstrap.sh" "$arch")"
build=${LOGORA_BUILD_DIR:-$LOGORA_ROOT/build/$kind}
case $kind in
  native)
    cmake -S "$LOGORA_ROOT" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLOGORA_SANITIZE=ON "$@" >/dev/null ;;
  windows|windows-x86)
    toolchain=mingw-w64.cmake; [ "$arch" = x86 ] && toolchain=mingw-w64-i686.cmake
    cmake -S "$LOGORA_ROOT" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
          -DCMAKE_TOOLCHAIN_FILE="$LOGORA_ROOT/cmake/$toolchain" -DLOGORA_DEPS="$LOGORA_DEPS" "$@" >/dev/null
    "$here/wine/prepare-prefix.sh" "$build" "$LOGORA_PREFIX_TEMPLATE" ;;
  *) echo "unknown configuration: $kind" >&2; exit 2 ;;
esac
# shellcheck disable=SC2086
cmake --build "$build" -j"$(nproc)" ${LOGORA_BUILD_TARGETS:+--target $LOGORA_BUILD_TARGETS}
