#!/usr/bin/env bash
# Validates the desktop entry and the AppStream metadata and builds the Debian
# package from the release build:
#   scripts/package-check.sh [BUILD_DIR]     (default build/release)
# Needs the Debian packages desktop-file-utils, appstream, dpkg-dev and file.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build/release}
id=org.orvanta.Orvanta

(cd "$root" && cmake --preset release >/dev/null && cmake --build --preset release --target orvanta)

echo "== Desktop entry"
desktop-file-validate "$root/resources/desktop/$id.desktop"
echo "== AppStream metadata"
appstreamcli validate --no-net --pedantic "$build/$id.metainfo.xml"

echo "== Package"
rm -f "$build"/orvanta_*.deb
(cd "$build" && cpack -G DEB)
deb=$(ls "$build"/orvanta_*.deb)
dpkg-deb --info "$deb"
contents=$(dpkg-deb --contents "$deb")
for path in ./usr/bin/orvanta ./usr/share/applications/$id.desktop ./usr/share/metainfo/$id.metainfo.xml \
  ./usr/share/icons/hicolor/scalable/apps/orvanta.svg; do
  grep -q " $path\$" <<<"$contents" || { echo "missing in the package: $path"; exit 1; }
done
for size in 16 32 48 64 128 256; do
  grep -q " ./usr/share/icons/hicolor/${size}x${size}/apps/orvanta.png\$" <<<"$contents" ||
    { echo "missing in the package: the ${size} px icon"; exit 1; }
done
depends=$(dpkg-deb --field "$deb" Depends)
for needed in libqt6widgets6 qt6-translations-l10n fonts-dejavu-core; do
  grep -q "$needed" <<<"$depends" || { echo "the package does not depend on $needed: $depends"; exit 1; }
done
echo "package ok: $deb"
