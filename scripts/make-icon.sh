#!/bin/sh
# Draws the application icon resources/tvc.png (256x256, RGBA):
# a teal disc with a white "T" mast and two radio-wave arcs above it.
# Everything is drawn at 4x size and scaled down for clean anti-aliasing.
# Requires ImageMagick 6 (convert) and awk. The output is reproducible
# byte for byte (no time stamps are written into the PNG).
#
# Usage: scripts/make-icon.sh [output.png]   (default: resources/tvc.png)
set -eu

here=$(cd "$(dirname "$0")" && pwd)
out="${1:-$here/../resources/tvc.png}"

S=4                 # supersampling factor
SIZE=$((256 * S))
TEAL='#006666'
RIM='#004d4d'

# s X [Y ...]: scale design coordinates (256-pixel grid) by S.
s() { echo "$@" | awk -v k="$S" '{ for (i = 1; i <= NF; i++) printf "%s%g", (i > 1 ? "," : ""), $i * k }'; }

# Wave centre (top of the mast) and the two wave radii; the arcs span
# 90 degrees, opening upwards; W is the stroke width.
CX=128 CY=118 R1=34 R2=72 W=20
d1=$(awk -v r="$R1" 'BEGIN { printf "%.3f", r * sqrt(0.5) }')
d2=$(awk -v r="$R2" 'BEGIN { printf "%.3f", r * sqrt(0.5) }')
cap=$(awk -v w="$W" 'BEGIN { print w / 2 }')

# circle primitive: centre and a point on the circumference
circ() { echo "circle $(s "$1" "$2") $(s "$1" "$(awk -v y="$2" -v r="$3" 'BEGIN { print y - r }')")"; }

convert -size ${SIZE}x${SIZE} xc:none \
  -stroke none -fill "$RIM" -draw "$(circ 128 128 122)" \
  -fill "$TEAL" -draw "$(circ 128 128 114)" \
  -fill white \
  -draw "roundrectangle $(s 76 124) $(s 180 150) $(s 6 6)" \
  -draw "roundrectangle $(s 114 124) $(s 142 212) $(s 6 6)" \
  \( -size ${SIZE}x${SIZE} xc:none \
     -fill none -stroke white -strokewidth "$(s "$W")" \
     -draw "$(circ $CX $CY $R1)" -draw "$(circ $CX $CY $R2)" \
     \( -size ${SIZE}x${SIZE} xc:none -stroke none -fill white \
        -draw "polygon $(s $CX $CY) $(s $((CX - 200)) $((CY - 200))) $(s $((CX + 200)) $((CY - 200)))" \) \
     -compose DstIn -composite \
     -stroke none -fill white \
     -draw "$(circ "$(awk "BEGIN{print $CX-$d1}")" "$(awk "BEGIN{print $CY-$d1}")" "$cap")" \
     -draw "$(circ "$(awk "BEGIN{print $CX+$d1}")" "$(awk "BEGIN{print $CY-$d1}")" "$cap")" \
     -draw "$(circ "$(awk "BEGIN{print $CX-$d2}")" "$(awk "BEGIN{print $CY-$d2}")" "$cap")" \
     -draw "$(circ "$(awk "BEGIN{print $CX+$d2}")" "$(awk "BEGIN{print $CY-$d2}")" "$cap")" \
  \) -compose Over -composite \
  -filter Lanczos -resize 256x256 \
  -strip -define png:exclude-chunks=date,time \
  "PNG32:$out"

# The Windows build's icon resource, at the sizes Windows asks for.
convert "$out" -define icon:auto-resize=256,64,48,32,16 "$(dirname "$out")/tvc.ico"
