#!/usr/bin/env bash
# Configures and builds one configuration: tools/build.sh native|windows [extra cmake args...]
#   native  -> build/native   (host g++, ASan+UBSan, platform-free libraries and their tests)
#   windows -> build/windows  (mingw-w64 x64, static, the product and its tests)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/env.sh"
kind=${1:?native or windows}; shift
eval "$("$here/bootstrap.sh")"
build=${LOGORA_BUILD_DIR:-$LOGORA_ROOT/build/$kind}
case $kind in
  native)
    cmake -S "$LOGORA_ROOT" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLOGORA_SANITIZE=ON "$@" >/dev/null ;;
  windows)
    cmake -S "$LOGORA_ROOT" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
          -DCMAKE_TOOLCHAIN_FILE="$LOGORA_ROOT/cmake/mingw-w64.cmake" -DLOGORA_DEPS="$LOGORA_DEPS" "$@" >/dev/null
    "$here/wine/prepare-prefix.sh" "$build" "$LOGORA_PREFIX_TEMPLATE" ;;
  *) echo "unknown configuration: $kind" >&2; exit 2 ;;
esac
cmake --build "$build" -j"$(nproc)"
