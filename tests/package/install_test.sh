#!/usr/bin/env bash
# Installs the build tree into a temporary prefix, checks that every
# deliverable lands there, then builds and runs a small C program against the
# installed library twice: through find_package(velpad) and through pkg-config.
# Usage: install_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
src=$2
tmp=$(mktemp -d /tmp/velpad-install-XXXXXX)
trap 'rm -rf "$tmp"' EXIT
prefix=$tmp/prefix

cmake --install "$build" --prefix "$prefix" >/dev/null
libdir=$(cd "$prefix" && dirname "$(find . -name libvelpad.so)")
for file in include/velpad.h "$libdir/libvelpad.so" "$libdir/pkgconfig/velpad.pc" \
    "$libdir/cmake/velpad/velpadConfig.cmake" bin/velrun bin/vpinpad \
    share/velpad/examples/cashreg.ini share/velpad/scenarios/approved_payment.vps \
    share/man/man1/velrun.1 share/man/man1/vpinpad.1 share/man/man3/velpad.3; do
  [ -e "$prefix/$file" ] || { echo "not installed: $file" >&2; exit 1; }
done
if [ -e "$build/plugin/libProcessingOrvexMultimerchant.so" ]; then
  for file in bin/poshost "$libdir/velpad/libProcessingOrvexMultimerchant.so"; do
    [ -e "$prefix/$file" ] || { echo "not installed: $file" >&2; exit 1; }
  done
fi
soname=$(readelf -d "$prefix/$libdir/libvelpad.so" | sed -n 's/.*SONAME.*\[\(.*\)\]/\1/p')
[ "$soname" = "libvelpad.so" ] || { echo "soname is '$soname'" >&2; exit 1; }

# The installed velrun finds the installed library and checks the example.
mkdir "$tmp/register"
cp -r "$prefix"/share/velpad/examples/* "$tmp/register/"
# The check ends with the link test: the installed virtual pinpad answers it.
"$prefix/bin/vpinpad" --scenario "$prefix/share/velpad/scenarios/link_test.vps" \
  --port-file "$tmp/port" --timeout 30 >/dev/null 2>&1 &
pinpad=$!
for _ in $(seq 400); do [ -s "$tmp/port" ] && break; sleep 0.05; done
printf '\nPORT_IP=%s\n' "$(cat "$tmp/port")" >>"$tmp/register/cashreg.ini"
(cd "$tmp/register" && "$prefix/bin/velrun" --check >"$tmp/check.txt") ||
  { cat "$tmp/check.txt" >&2; kill "$pinpad"; exit 1; }
wait "$pinpad"

export LD_LIBRARY_PATH="$prefix/$libdir"
cmake -S "$src/tests/package/consumer" -B "$tmp/consumer" -G Ninja \
  -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$tmp/consumer" >/dev/null
[ "$("$tmp/consumer/use_velpad")" = "velpad: amount=1500" ]

export PKG_CONFIG_PATH="$prefix/$libdir/pkgconfig"
[ "$(pkg-config --modversion velpad)" = "$(sed -n 's/^Version: //p' "$PKG_CONFIG_PATH/velpad.pc")" ]
# shellcheck disable=SC2046
cc -o "$tmp/use_velpad_pc" "$src/tests/package/consumer/use_velpad.c" \
  $(pkg-config --cflags --libs velpad)
[ "$("$tmp/use_velpad_pc")" = "velpad: amount=1500" ]
echo "install: find_package and pkg-config consumers built and ran"
