#!/usr/bin/env bash
# Draws the builder's icons and tree bitmap with ImageMagick. The results are
# committed; run this again only to change them.
#   quillset.ico          program icon: a quill over a blue box (16, 32, 48)
#   quillset_project.ico  project file icon: a page with a blue corner
#   quillset_tree.bmp     48 x 16: closed folder, open folder, file; magenta
#                         (255, 0, 255) is the transparent colour
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

program_icon() {  # SIZE OUT
  local s=$1 k
  k=$(awk "BEGIN { print $s / 32 }")
  convert -size "${s}x${s}" xc:none \
    -fill '#1f4e9a' -stroke '#0d2a5c' -strokewidth 1 \
    -draw "roundrectangle $(awk "BEGIN{print 2*$k}"),$(awk "BEGIN{print 8*$k}") $(awk "BEGIN{print 29*$k}"),$(awk "BEGIN{print 29*$k}") $(awk "BEGIN{print 3*$k}"),$(awk "BEGIN{print 3*$k}")" \
    -fill '#f4f4f4' -stroke '#6b6b6b' \
    -draw "polygon $(awk "BEGIN{print 10*$k}"),$(awk "BEGIN{print 25*$k}") $(awk "BEGIN{print 28*$k}"),$(awk "BEGIN{print 2*$k}") $(awk "BEGIN{print 22*$k}"),$(awk "BEGIN{print 18*$k}")" \
    -stroke '#303030' -strokewidth "$(awk "BEGIN{print ($k < 1 ? 1 : 1.5*$k)}")" \
    -draw "line $(awk "BEGIN{print 9*$k}"),$(awk "BEGIN{print 27*$k}") $(awk "BEGIN{print 24*$k}"),$(awk "BEGIN{print 8*$k}")" \
    "PNG32:$2"
}

project_icon() {  # SIZE OUT
  local s=$1 k
  k=$(awk "BEGIN { print $s / 32 }")
  convert -size "${s}x${s}" xc:none \
    -fill white -stroke '#505050' -strokewidth 1 \
    -draw "polygon $(awk "BEGIN{print 6*$k}"),$(awk "BEGIN{print 1*$k}") $(awk "BEGIN{print 20*$k}"),$(awk "BEGIN{print 1*$k}") $(awk "BEGIN{print 26*$k}"),$(awk "BEGIN{print 7*$k}") $(awk "BEGIN{print 26*$k}"),$(awk "BEGIN{print 30*$k}") $(awk "BEGIN{print 6*$k}"),$(awk "BEGIN{print 30*$k}")" \
    -fill '#1f4e9a' -stroke '#0d2a5c' \
    -draw "rectangle $(awk "BEGIN{print 9*$k}"),$(awk "BEGIN{print 17*$k}") $(awk "BEGIN{print 23*$k}"),$(awk "BEGIN{print 27*$k}")" \
    -stroke '#9a9a9a' \
    -draw "line $(awk "BEGIN{print 9*$k}"),$(awk "BEGIN{print 7*$k}") $(awk "BEGIN{print 19*$k}"),$(awk "BEGIN{print 7*$k}")" \
    -draw "line $(awk "BEGIN{print 9*$k}"),$(awk "BEGIN{print 11*$k}") $(awk "BEGIN{print 23*$k}"),$(awk "BEGIN{print 11*$k}")" \
    "PNG32:$2"
}

for s in 16 32 48; do
  program_icon "$s" "$tmp/p$s.png"
  project_icon "$s" "$tmp/d$s.png"
done
convert "$tmp/p16.png" "$tmp/p32.png" "$tmp/p48.png" quillset.ico
convert "$tmp/d16.png" "$tmp/d32.png" "$tmp/d48.png" quillset_project.ico

# Tree icons on magenta, drawn without antialiasing so that no edge pixel is
# a blend of magenta that the transparent colour would miss.
convert -size 16x16 xc:magenta +antialias -fill '#e8c04a' -stroke '#8a6a10' \
  -draw 'polygon 1,3 6,3 7,5 14,5 14,13 1,13' "$tmp/t0.png"
convert -size 16x16 xc:magenta +antialias -fill '#c9a032' -stroke '#8a6a10' \
  -draw 'polygon 1,3 6,3 7,5 13,5 13,7 1,7' -draw 'polygon 1,13 1,6 13,6 13,13' \
  -fill '#f6dc84' -draw 'polygon 1,13 4,8 15,8 12,13' "$tmp/t1.png"
convert -size 16x16 xc:magenta +antialias -fill white -stroke '#505050' \
  -draw 'polygon 3,1 10,1 13,4 13,14 3,14' -stroke '#8080c0' \
  -draw 'line 5,6 11,6' -draw 'line 5,8 11,8' -draw 'line 5,10 11,10' "$tmp/t2.png"
convert "$tmp/t0.png" "$tmp/t1.png" "$tmp/t2.png" +append -type TrueColor BMP3:quillset_tree.bmp
