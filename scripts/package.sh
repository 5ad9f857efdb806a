#!/usr/bin/env bash
# Builds the Debian package into dist/ and checks it with lintian, appstreamcli
# and desktop-file-validate.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
# Debian's own compiler and linker flags (hardening included).
eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
cmake -S . -B build-deb -DCMAKE_BUILD_TYPE=Release -DPIKORA_SANITIZED_TESTS=OFF >/dev/null
cmake --build build-deb -j"$(nproc)" --target pikora pikora_packaging_files
rm -rf build-deb/cpack
(cd build-deb && cpack -B cpack)
mkdir -p dist
rm -f dist/pikora_*.deb
cp build-deb/cpack/pikora_*.deb dist/
DEB=$(ls dist/pikora_*.deb)

desktop-file-validate packaging/pikora.desktop
appstreamcli validate --no-net build-deb/packaging/*.metainfo.xml
out=$(lintian --fail-on error "$DEB" 2>&1) || { echo "$out"; exit 1; }
grep -v "root privileges" <<<"$out" || echo "lintian: no errors, no warnings"
echo "Built $DEB"
