#!/usr/bin/env bash
# Validates the desktop entry, the AppStream metadata, the ADIF MIME type and
# the manual page and builds the Debian package from the release build:
#   scripts/package-check.sh [BUILD_DIR]     (default build/release)
# Needs the Debian packages desktop-file-utils, appstream, dpkg-dev, file,
# libxml2-utils, shared-mime-info, man-db and groff-base.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build/release}
id=org.orvanta.Orvanta

(cd "$root" && cmake --preset release >/dev/null && cmake --build --preset release --target orvanta)

echo "== Desktop entry"
desktop-file-validate "$root/resources/desktop/$id.desktop"
entry=$root/resources/desktop/$id.desktop
grep -qx 'Exec=orvanta %F' "$entry" || { echo "the desktop entry does not pass files: $(grep ^Exec "$entry")"; exit 1; }
grep -q '^MimeType=.*application/x-adif;' "$entry" || { echo "the desktop entry does not open ADIF logs"; exit 1; }

echo "== MIME type"
mime=$root/resources/mime/orvanta.xml
xmllint --noout "$mime"
mimedb=$(mktemp -d)
trap 'rm -rf "$mimedb"' EXIT
mkdir "$mimedb/packages"
cp "$mime" "$mimedb/packages/"
# It notes that a temporary folder is not where programs look; anything else is a fault.
out=$(update-mime-database "$mimedb" 2>&1)
if grep -qiE 'error|warning|invalid|unknown' <<<"$out"; then echo "$out"; exit 1; fi
for glob in '*.adi' '*.adif'; do
  grep -qF "application/x-adif:$glob" "$mimedb/globs2" || { echo "no MIME type for $glob"; exit 1; }
done
grep -q 'type="application/x-adif"' "$mimedb/packages/orvanta.xml"

echo "== Manual page"
page=$root/resources/man/orvanta.1
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
[ -z "$warnings" ] || { echo "manual page warnings: $warnings"; exit 1; }
lexgrog "$page" | grep -q 'orvanta - ' || { echo "the manual page has no NAME line"; exit 1; }

echo "== AppStream metadata"
appstreamcli validate --no-net --pedantic "$build/$id.metainfo.xml"
grep -q '<mediatype>application/x-adif</mediatype>' "$build/$id.metainfo.xml" ||
  { echo "the AppStream metadata does not name ADIF logs"; exit 1; }

echo "== Package"
rm -f "$build"/orvanta_*.deb
(cd "$build" && cpack -G DEB)
deb=$(ls "$build"/orvanta_*.deb)
dpkg-deb --info "$deb"
contents=$(dpkg-deb --contents "$deb")
for path in ./usr/bin/orvanta ./usr/share/applications/$id.desktop ./usr/share/metainfo/$id.metainfo.xml \
  ./usr/share/icons/hicolor/scalable/apps/orvanta.svg ./usr/share/mime/packages/orvanta.xml \
  ./usr/share/man/man1/orvanta.1.gz; do
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
