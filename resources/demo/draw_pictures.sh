#!/usr/bin/env bash
# Draws the demo quiz's pictures with ImageMagick: fifteen flags (question
# pictures) and the same flags with the country's name on a band across
# their bottom (answer pictures). Run by hand when a drawing changes; the
# files are committed.
# Odd questions get JPEG pictures, even ones PNG, so both picture routes of
# the player are shown; answer pictures are JPEG except question 2's.
set -euo pipefail
cd "$(dirname "$0")/pictures"

W=240 H=160
third=$((W / 3))
band=$((H / 3))

vertical() {  # vertical <out> <left> <middle> <right>
  convert -size ${third}x$H "xc:$2" "xc:$3" "xc:$4" +append +repage "$1"
}
horizontal() {  # horizontal <out> <top> <middle> <bottom>
  convert -size ${W}x$((H - 2 * band)) "xc:$2" -size ${W}x$band "xc:$3" "xc:$4" -append +repage "$1"
}
halves() {  # halves <out> <top> <bottom>
  convert -size ${W}x$((H / 2)) "xc:$2" "xc:$3" -append +repage "$1"
}
nordic() {  # nordic <out> <field> <cross>: the cross sits toward the hoist
  convert -size ${W}x$H "xc:$2" -fill "$3" \
    -draw "rectangle 66,0 95,$((H - 1))" -draw "rectangle 0,65 $((W - 1)),94" "$1"
}

draw_flag() {  # draw_flag <q> <out>
  case $1 in
    1) vertical "$2" '#002395' white '#ED2939' ;;
    2) vertical "$2" '#009246' white '#CE2B37' ;;
    3) vertical "$2" black '#FDDA24' '#EF3340' ;;
    4) vertical "$2" '#169B62' white '#FF883E' ;;
    5) horizontal "$2" black '#DD0000' '#FFCE00' ;;
    6) horizontal "$2" '#AE1C28' white '#21468B' ;;
    7) horizontal "$2" '#CE2939' white '#477050' ;;
    8) horizontal "$2" '#ED2939' white '#ED2939' ;;
    9) halves "$2" white '#DC143C' ;;
    10) halves "$2" '#0057B7' '#FFD700' ;;
    11) convert -size ${W}x$H xc:white -fill '#BC002D' -draw "circle 120,80 120,32" "$2" ;;
    12) nordic "$2" '#006AA7' '#FECC02' ;;
    13) nordic "$2" '#C8102E' white ;;
    14) nordic "$2" white '#002F6C' ;;
    15) convert -size ${H}x$H 'xc:#DA291C' -fill white \
          -draw "rectangle 66,32 93,127" -draw "rectangle 32,66 127,93" "$2" ;;
  esac
}

names=("" "FRANCE" "ITALIE" "BELGIQUE" "IRLANDE" "ALLEMAGNE" "PAYS-BAS" "HONGRIE"
       "AUTRICHE" "POLOGNE" "UKRAINE" "JAPON" "SU\u00C8DE" "DANEMARK" "FINLANDE" "SUISSE")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for q in $(seq 1 15); do
  flag=$work/flag$q.png
  draw_flag "$q" "$flag"
  name=$(printf "%b" "${names[$q]}")
  answer=$work/answer$q.png
  # The answer picture keeps the flag's size (its label on the page has the
  # question picture's size): the name goes on a band across the bottom.
  fw=$(identify -format "%w" "$flag")
  fh=$(identify -format "%h" "$flag")
  convert "$flag" -fill '#1E6B1E' -draw "rectangle 0,$((fh - 30)) $((fw - 1)),$((fh - 1))" \
    -fill white -font DejaVu-Sans-Bold -pointsize 18 -gravity south -annotate +0+5 "$name" \
    "$answer"
  if [ $((q % 2)) -eq 1 ]; then
    convert "$flag" -strip -quality 85 "flag$q.jpg"
  else
    convert "$flag" -strip -colors 16 "PNG8:flag$q.png"
  fi
  if [ "$q" -eq 2 ]; then
    convert "$answer" -strip -colors 32 "PNG8:answer$q.png"
  else
    convert "$answer" -strip -quality 85 "answer$q.jpg"
  fi
done
