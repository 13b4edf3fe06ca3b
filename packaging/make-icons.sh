#!/usr/bin/env bash
# Renders the application icon kalvor.svg into the PNG sizes that menus and docks ask for.
# The results are committed; run this only after changing the icon.
set -euo pipefail
cd "$(dirname "$0")"

../scripts/install-deps librsvg2-bin

mkdir -p icons
for size in 16 22 24 32 48 64 128 256; do
    rsvg-convert --width "$size" --height "$size" kalvor.svg --output "icons/kalvor-$size.png"
done
