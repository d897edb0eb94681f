#!/usr/bin/env bash
# Runs scripts/package and reads the three Debian packages: every file in its
# place, in the right package, and the dependencies declared.
# Usage: package_test.sh SOURCE_DIR PACKAGE_BUILD_DIR
# The package build tree is kept between runs, so a run rebuilds only what
# changed; the packages themselves go to a temporary folder.
set -euo pipefail
src=$1
export VELPAD_PACKAGE_BUILD=$2
out=$(mktemp -d /tmp/velpad-debs-XXXXXX)
trap 'rm -rf "$out"' EXIT

"$src/scripts/package" "$out" >"$out/package.log" 2>&1 || { cat "$out/package.log" >&2; exit 1; }
version=$(sed -n 's/^project(velpad VERSION \([0-9.]*\).*/\1/p' "$src/CMakeLists.txt")
arch=$(dpkg --print-architecture)
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
failed=0

# contents PACKAGE FILE...: each FILE is in PACKAGE's deb.
contents() {
  local deb=$out/$1_${version}_${arch}.deb
  shift
  [ -f "$deb" ] || { echo "missing package: $deb" >&2; failed=1; return; }
  local listing
  listing=$(dpkg-deb -c "$deb" | awk '{print $6}')
  for file in "$@"; do
    grep -qx "./$file" <<<"$listing" || { echo "$(basename "$deb"): no $file" >&2; failed=1; }
  done
}
# depends PACKAGE PATTERN...: each grep PATTERN matches PACKAGE's Depends.
depends() {
  local field
  field=$(dpkg-deb -f "$out/$1_${version}_${arch}.deb" Depends)
  shift
  for pattern in "$@"; do
    grep -qE "$pattern" <<<"$field" || { echo "Depends '$field' lacks $pattern" >&2; failed=1; }
  done
}

lib=usr/lib/$multiarch
contents libvelpad usr/include/velpad.h "$lib/libvelpad.so" "$lib/pkgconfig/velpad.pc" \
  "$lib/cmake/velpad/velpadConfig.cmake" "$lib/cmake/velpad/velpadConfigVersion.cmake" \
  "$lib/cmake/velpad/velpadTargets.cmake" usr/share/man/man3/velpad.3
contents velpad-tools usr/bin/velrun usr/bin/vpinpad usr/share/man/man1/velrun.1 \
  usr/share/man/man1/vpinpad.1 usr/share/velpad/examples/cashreg.ini \
  usr/share/velpad/examples/ops.ini usr/share/velpad/scenarios/approved_payment.vps
contents velpad-pos-plugin usr/bin/poshost "$lib/velpad/libProcessingOrvexMultimerchant.so"

# The library needs the C and C++ runtimes and nothing else: no Qt, no
# package of ours.
depends libvelpad '(^|, )libc6( |,|$)' '(^|, )libstdc\+\+6( |,|$)'
if dpkg-deb -f "$out/libvelpad_${version}_${arch}.deb" Depends | grep -qE 'qt|velpad'; then
  echo "libvelpad depends on more than the system runtimes" >&2
  failed=1
fi
depends velpad-tools "libvelpad \(= $version\)"
depends velpad-pos-plugin "velpad-tools \(= $version\)" libqt6core6 libqt6core5compat6
# Nothing is shipped twice.
if [ "$(for deb in "$out"/*.deb; do dpkg-deb -c "$deb"; done | awk '$6 !~ /\/$/ {print $6}' |
  sort | uniq -d)" != "" ]; then
  echo "a file is in two packages" >&2
  failed=1
fi
# Unpacked together, as dpkg -i would place them, the tools run: velrun finds
# the packaged library and passes the check of the packaged example.
root=$out/root
for deb in libvelpad velpad-tools; do dpkg-deb -x "$out/${deb}_${version}_${arch}.deb" "$root"; done
mkdir "$out/register"
cp -r "$root"/usr/share/velpad/examples/* "$out/register/"
[ "$("$root/usr/bin/velrun" --version)" = "velrun $version" ] || failed=1
# The check ends with the link test: the packaged virtual pinpad answers it.
"$root/usr/bin/vpinpad" --scenario "$root/usr/share/velpad/scenarios/link_test.vps" \
  --port-file "$out/port" --timeout 30 >/dev/null 2>&1 &
pinpad=$!
for _ in $(seq 400); do [ -s "$out/port" ] && break; sleep 0.05; done
printf '\nPORT_IP=%s\n' "$(cat "$out/port")" >>"$out/register/cashreg.ini"
(cd "$out/register" && "$root/usr/bin/velrun" --check >"$out/check.txt") ||
  { cat "$out/check.txt" >&2; failed=1; }
wait "$pinpad" || failed=1
[ "$failed" -eq 0 ] && echo "package: three packages with their files and dependencies"
exit "$failed"
