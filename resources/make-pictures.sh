#!/usr/bin/env bash
# Draws the program's pictures with ImageMagick: splash, section pictures, menu images, icon.
# The results are committed; run this only to change a picture.
set -euo pipefail
cd "$(dirname "$0")"

fonts=/usr/share/fonts/truetype/liberation
bold="$fonts/LiberationSans-Bold.ttf"
regular="$fonts/LiberationSans-Regular.ttf"
steel='#8a9bb0'
edge='#3b4d66'
air='#1f6fd1'

# Splash: dark blue field, the name, what the program does, the version.
convert -size 340x206 gradient:'#0b1d45-#16336e' \
    -fill none -stroke '#2a4f92' -strokewidth 1 \
    -draw "line 0,150 340,150" -draw "line 0,154 340,154" \
    -stroke '#3c68b5' -strokewidth 2 -draw "rectangle 204,92 292,134" \
    -draw "polyline 204,92 226,76 314,76 292,92" -draw "polyline 314,76 314,118 292,134" \
    -stroke none -font "$bold" -pointsize 58 -fill '#8fd0ff' -annotate +16+66 'Kalvor' \
    -font "$regular" -pointsize 14 -fill '#d6e9ff' -annotate +19+98 'Расчет и подбор' \
    -annotate +19+117 'сечений воздуховодов' \
    -pointsize 12 -fill '#9fb8de' -gravity southeast -annotate +12+10 '2.0.0.2' \
    PNG24:pictures/splash.png

# Input data: air flowing into a duct.
convert -size 60x53 xc:none \
    -fill "$steel" -stroke "$edge" -strokewidth 1 -draw "rectangle 24,12 57,40" \
    -fill '#b8c6d6' -draw "polygon 24,12 30,6 60,6 57,12" \
    -stroke "$air" -strokewidth 3 -draw "line 3,26 20,26" \
    -fill "$air" -stroke none -draw "polygon 20,20 28,26 20,32" \
    -stroke '#ffffff' -strokewidth 1 -draw "line 30,26 52,26" -draw "line 30,20 46,20" \
    -draw "line 30,32 46,32" PNG32:pictures/input.png

# Round section with its diameter.
convert -size 100x68 xc:none \
    -fill "$steel" -stroke "$edge" -strokewidth 2 -draw "circle 42,34 42,6" \
    -fill '#e9eef4' -stroke "$edge" -strokewidth 1 -draw "circle 42,34 42,11" \
    -stroke "$air" -draw "line 19,34 65,34" \
    -fill "$air" -stroke none -draw "polygon 19,34 24,31 24,37" -draw "polygon 65,34 60,31 60,37" \
    -font "$bold" -pointsize 13 -fill "$edge" -annotate +80+39 'D' PNG32:pictures/round.png

# Flat-oval section with its two sizes.
convert -size 100x89 xc:none \
    -fill "$steel" -stroke "$edge" -strokewidth 2 -draw "roundrectangle 8,22 92,62 20,20" \
    -fill '#e9eef4' -stroke "$edge" -strokewidth 1 -draw "roundrectangle 13,27 87,57 15,15" \
    -stroke "$air" -draw "line 8,74 92,74" -draw "line 8,68 8,80" -draw "line 92,68 92,80" \
    -draw "line 50,22 50,62" \
    -fill "$air" -stroke none -draw "polygon 50,22 47,28 53,28" -draw "polygon 50,62 47,56 53,56" \
    -font "$bold" -pointsize 12 -fill "$edge" -annotate +46+88 'A' -annotate +56+46 'B' \
    PNG32:pictures/flat-oval.png

# Rectangular duct with air moving through it: an animated picture.
frames=()
for i in 0 1 2 3 4 5; do
    shift_px=$((i * 6))
    arrows=""
    for row in 38 50 62; do
        for base in -12 24 60; do
            x=$((base + shift_px + (row == 50 ? 6 : 0)))
            [ $x -lt 8 ] && continue
            [ $x -gt 70 ] && continue
            arrows+=" -draw \"line $x,$row $((x + 12)),$row\" -draw \"polygon $((x + 12)),$((row - 3)) $((x + 17)),$row $((x + 12)),$((row + 3))\""
        done
    done
    eval convert -size 100x81 xc:none \
        -fill "'#b8c6d6'" -stroke "'$edge'" -strokewidth 1 \
        -draw "'polygon 6,26 24,10 96,10 78,26'" \
        -fill "'#6f8299'" -draw "'polygon 78,26 96,10 96,62 78,76'" \
        -fill "'#e9eef4'" -draw "'rectangle 6,26 78,76'" \
        -stroke "'$air'" -fill "'$air'" -strokewidth 2 $arrows \
        "/tmp/kalvor-frame-$i.png"
    frames+=("/tmp/kalvor-frame-$i.png")
done
convert -delay 12 -loop 0 -dispose background "${frames[@]}" pictures/rectangular.gif
rm -f "${frames[@]}"

# Application icon: a duct section with air in it.
convert -size 64x64 xc:none \
    -fill '#16336e' -stroke none -draw "roundrectangle 1,1 62,62 12,12" \
    -fill "$steel" -stroke '#d6e9ff' -strokewidth 2 -draw "rectangle 10,20 42,50" \
    -fill '#b8c6d6' -draw "polygon 10,20 22,10 54,10 42,20" \
    -fill '#6f8299' -draw "polygon 42,20 54,10 54,40 42,50" \
    -stroke '#8fd0ff' -strokewidth 3 -draw "line 15,35 31,35" \
    -fill '#8fd0ff' -stroke none -draw "polygon 30,29 38,35 30,41" PNG32:icons/kalvor.png

# Menu images, 16 by 16.
convert -size 16x16 xc:none -fill '#e9eef4' -stroke "$edge" -draw "rectangle 2,0 13,15" \
    -fill "$air" -stroke none -draw "rectangle 4,2 11,5" \
    -fill "$edge" -draw "rectangle 4,8 5,9" -draw "rectangle 7,8 8,9" -draw "rectangle 10,8 11,9" \
    -draw "rectangle 4,11 5,12" -draw "rectangle 7,11 8,12" -draw "rectangle 10,11 11,13" \
    PNG32:menu/calculation.png
convert -size 16x16 xc:none -fill '#f3e7b5' -stroke '#8a6d1f' -draw "rectangle 0,5 15,10" \
    -stroke '#8a6d1f' -draw "line 3,5 3,7" -draw "line 6,5 6,8" -draw "line 9,5 9,7" \
    -draw "line 12,5 12,8" PNG32:menu/sizes.png
convert -size 16x16 xc:none -fill "$steel" -stroke "$edge" -draw "circle 8,8 8,1" \
    -fill '#ffffff' -draw "circle 8,8 8,5" \
    -stroke "$edge" -strokewidth 2 -draw "line 8,0 8,2" -draw "line 8,14 8,16" \
    -draw "line 0,8 2,8" -draw "line 14,8 16,8" PNG32:menu/settings.png
convert -size 16x16 xc:none -stroke '#c0392b' -strokewidth 3 \
    -draw "line 3,3 12,12" -draw "line 12,3 3,12" PNG32:menu/close.png
# Two sheets, one over the other: the results copied.
convert -size 16x16 xc:none -fill '#ffffff' -stroke "$edge" -draw "rectangle 1,1 9,11" \
    -draw "rectangle 6,4 14,14" -stroke "$air" -draw "line 8,7 12,7" -draw "line 8,9 12,9" \
    -draw "line 8,11 12,11" PNG32:menu/copy.png
# A trunk with two branches: the network of sections.
convert -size 16x16 xc:none -fill "$steel" -stroke "$edge" -draw "rectangle 0,6 9,9" \
    -draw "rectangle 9,1 12,14" -fill "$air" -stroke none -draw "rectangle 13,2 15,4" \
    -draw "rectangle 13,11 15,13" PNG32:menu/network.png
# A duct bent through a right angle, with the air turning in it: the fittings' coefficients.
convert -size 16x16 xc:none -fill "$steel" -stroke "$edge" \
    -draw "path 'M 1,5 L 8,5 Q 11,5 11,8 L 11,15 L 6,15 L 6,10 L 1,10 Z'" \
    -stroke "$air" -fill none -draw "path 'M 1,7 L 7,7 Q 9,7 9,9 L 9,14'" PNG32:menu/fittings.png
