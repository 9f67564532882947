#!/usr/bin/env bash
# Renders the larger application icons from resources/icons/orvanta.svg
# (Debian package librsvg2-bin). The 16 and 32 pixel icons are drawn by hand
# to the same design, pixel by pixel, and are not rendered.
set -euo pipefail
icons=$(cd "$(dirname "${BASH_SOURCE[0]}")/../resources/icons" && pwd)
for size in 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" "$icons/orvanta.svg" -o "$icons/orvanta-$size.png"
done
