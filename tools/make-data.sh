#!/usr/bin/env bash
# Regenerates the files that ship beside lapforge.exe: a map and a view picture
# per track section, a spoken announcement per section and the help page.
# Everything is drawn and synthesised here, so the output is ours and the same
# on every run.  Usage: tools/make-data.sh   (from any directory)
set -euo pipefail
export LC_NUMERIC=C   # decimal points, not commas, in awk and printf

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
OUT=$(cd "$HERE/.." && pwd)/data
FONT_DIR=${FONT_DIR:-/usr/share/fonts/truetype/dejavu}
FONT=$FONT_DIR/DejaVuSans.ttf
BOLD=$FONT_DIR/DejaVuSans-Bold.ttf
LAP=22800   # metres; the last section runs to the end of the lap

# One row per section, in lap order:
#   name as the program lists it | name on pictures | spoken | deploy line |
#   colour | view: bend (1/m, + = right) | view: slope (+ = uphill) | horizon y
SECTIONS=(
  "Pitlane|Pitlane|Boxengasse|stall_0 = 230.00 -9.30|#1e88e5|0|0|136"
  "Flugplatz/Schwedenkreuz|Flugplatz/Schwedenkreuz|Flugplatz, Schwedenkreuz|stall_0 = 3100.00 0.00|#e53935|0.002|0.0007|140"
  "Fuchsroehre/Adenauer Forst|Fuchsröhre/Adenauer Forst|Fuchsröhre, Adenauer Forst|stall_0 = 5600.00 0.00|#fb8c00|-0.003|-0.0011|118"
  "Metzgesfeld/Kallenhard/Wehrseifen|Metzgesfeld/Kallenhard/Wehrseifen|Metzgesfeld, Kallenhard, Wehrseifen|stall_0 = 7100.00 0.00|#8e24aa|0.008|0|132"
  "Ex-Muehle/Bergwerk|Ex-Mühle/Bergwerk|Ex-Mühle, Bergwerk|stall_0 = 9300.00 0.00|#00897b|-0.009|0.0003|134"
  "Breidscheid/Kesselchen|Breidscheid/Kesselchen|Breidscheid, Kesselchen|stall_0 = 10300.00 0.00|#d81b60|0.005|0.0010|146"
  "Klostertal/Karussell|Klostertal/Karussell|Klostertal, Karussell|stall_0 = 12500.00 0.00|#3949ab|-0.013|0|130"
  "Hohe Acht/Wippermann|Hohe Acht/Wippermann|Hohe Acht, Wippermann|stall_0 = 14000.00 0.00|#43a047|0.010|0.0008|142"
  "Bruennchen/Pflanzgarten|Brünnchen/Pflanzgarten|Brünnchen, Pflanzgarten|stall_0 = 15600.00 0.00|#f4511e|-0.006|-0.0008|122"
  "Schwalbenschwanz/Doettinger Hoehe|Schwalbenschwanz/Döttinger Höhe|Schwalbenschwanz, Döttinger Höhe|stall_0 = 17800.00 0.00|#00acc1|0.0006|0|134"
  "Antoniusbuche/Tiergarten|Antoniusbuche/Tiergarten|Antoniusbuche, Tiergarten|stall_0 = 19400.00 0.00|#6d4c41|-0.002|0.0003|136"
)

# The stylised loop, clockwise from start/finish (top).  A smooth curve
# is laid through these points; positions on the map are found by arc length.
# The collinear run on the left is the long straight late in the lap.
LOOP="38,14 43,11 48,15 53,11 58,14 64,10 72,7 80,10 86,17 86,24 81,28 83,35 87,43
83,48 86,53 92,58 96,65 91,70 93,76 87,81 89,87 93,94 88,100 80,100 74,105 67,109
60,106 53,111 46,109 39,114 33,120 27,117 29,111 23,106 16,109 10,104 13,98 7,92
10,85 6,79 11,74 9,67 12,60 14.5,50.5 17,41 19.5,31.5 22,22 23,17 27,14 31,18 34,15"

# --- tools -----------------------------------------------------------------
check_tools() {
  local missing=()
  command -v convert >/dev/null && command -v identify >/dev/null || missing+=(imagemagick)
  command -v espeak-ng >/dev/null || missing+=(espeak-ng)
  command -v sox >/dev/null && command -v soxi >/dev/null || missing+=(sox)
  [ -f "$FONT" ] && [ -f "$BOLD" ] || missing+=(fonts-dejavu-core)
  if [ ${#missing[@]} -gt 0 ]; then
    echo "make-data.sh: missing tools. On Debian/Ubuntu install them with:" >&2
    echo "  sudo apt-get install --no-install-recommends ${missing[*]}" >&2
    exit 1
  fi
}

field() { local IFS='|'; local -a f; read -r -a f <<<"${SECTIONS[$1]}"; echo "${f[$2]}"; }
dist_of() { field "$1" 3 | awk '{ print $3 + 0 }'; }
end_of() { if [ "$1" -lt $((${#SECTIONS[@]} - 1)) ]; then dist_of $(($1 + 1)); else echo "$LAP"; fi; }
km() { awk -v m="$1" 'BEGIN { printf "%.2f", m / 1000 }'; }

# Break "A/B/C" after slashes into lines of at most $2 characters.
wrap() {
  awk -v s="$1" -v max="$2" 'BEGIN {
    n = split(s, p, "/"); line = ""; out = ""
    for (i = 1; i <= n; i++) {
      w = p[i] (i < n ? "/" : "")
      if (line != "" && length(line w) > max) { out = out line "\\n"; line = "" }
      line = line w
    }
    print out line }'
}

# --- map -------------------------------------------------------------------
MAP_W=306 MAP_H=466

# Smooth the loop (closed Catmull-Rom), fit it into the map area and write
# "metres x y" per point, metres scaled so the whole loop is one lap.
make_track() {
  awk -v pts="$LOOP" -v lap=$LAP -v ax=22 -v ay=114 -v aw=262 -v ah=280 'BEGIN {
    n = split(pts, p, /[ \n]+/)
    for (i = 1; i <= n; i++) { split(p[i], c, ","); X[i - 1] = c[1]; Y[i - 1] = c[2] }
    k = 0; sub_n = 12
    for (i = 0; i < n; i++) {
      a = (i + n - 1) % n; b = (i + 1) % n; d = (i + 2) % n
      for (s = 0; s < sub_n; s++) {
        t = s / sub_n; t2 = t * t; t3 = t2 * t
        QX[k] = 0.5 * (2 * X[i] + (X[b] - X[a]) * t + (2 * X[a] - 5 * X[i] + 4 * X[b] - X[d]) * t2 + (3 * X[i] - X[a] - 3 * X[b] + X[d]) * t3)
        QY[k] = 0.5 * (2 * Y[i] + (Y[b] - Y[a]) * t + (2 * Y[a] - 5 * Y[i] + 4 * Y[b] - Y[d]) * t2 + (3 * Y[i] - Y[a] - 3 * Y[b] + Y[d]) * t3)
        k++
      }
    }
    QX[k] = QX[0]; QY[k] = QY[0]
    minx = maxx = QX[0]; miny = maxy = QY[0]
    for (j = 0; j <= k; j++) {
      if (QX[j] < minx) minx = QX[j]; if (QX[j] > maxx) maxx = QX[j]
      if (QY[j] < miny) miny = QY[j]; if (QY[j] > maxy) maxy = QY[j]
    }
    sc = aw / (maxx - minx); if (ah / (maxy - miny) < sc) sc = ah / (maxy - miny)
    ox = ax + (aw - sc * (maxx - minx)) / 2; oy = ay + (ah - sc * (maxy - miny)) / 2
    L[0] = 0
    for (j = 1; j <= k; j++) L[j] = L[j - 1] + sqrt((QX[j] - QX[j - 1]) ^ 2 + (QY[j] - QY[j - 1]) ^ 2)
    for (j = 0; j <= k; j++)
      printf "%.2f %.2f %.2f\n", L[j] * lap / L[k], ox + (QX[j] - minx) * sc, oy + (QY[j] - miny) * sc
  }' >"$TRACK"
}

# Geometry on the track file.  mode=part: the polyline from metre a to b.
# mode=at: "x y tx ty nx ny" at metre a (unit tangent, normal pointing away
# from the middle of the loop).
GEO_AWK='
{ D[NR] = $1; X[NR] = $2; Y[NR] = $3; mx += $2; my += $3 }
function ix(d) { for (j = 2; j < NR && D[j] < d; j++); return j }
function px(d, j) { return X[j - 1] + (X[j] - X[j - 1]) * (d - D[j - 1]) / (D[j] - D[j - 1]) }
function py(d, j) { return Y[j - 1] + (Y[j] - Y[j - 1]) * (d - D[j - 1]) / (D[j] - D[j - 1]) }
END {
  if (mode == "part") {
    j = ix(a); s = sprintf("%.1f,%.1f", px(a, j), py(a, j))
    for (; j <= NR && D[j] < b; j++) s = s sprintf(" %.1f,%.1f", X[j], Y[j])
    j = ix(b); print s sprintf(" %.1f,%.1f", px(b, j), py(b, j))
  } else {
    j = ix(a); x = px(a, j); y = py(a, j)
    tx = X[j] - X[j - 1]; ty = Y[j] - Y[j - 1]; l = sqrt(tx * tx + ty * ty); tx /= l; ty /= l
    nx = -ty; ny = tx
    if ((x - mx / NR) * nx + (y - my / NR) * ny < 0) { nx = -nx; ny = -ny }
    printf "%.1f %.1f %.3f %.3f %.3f %.3f\n", x, y, tx, ty, nx, ny
  }
}'
geo() { awk -v mode="$1" -v a="$2" -v b="${3:-0}" "$GEO_AWK" "$TRACK"; }

map_picture() {
  local i=$1 name col d0 d1 title loop part ticks="" k
  name=$(field "$i" 1); col=$(field "$i" 4)
  d0=$(dist_of "$i"); d1=$(end_of "$i")
  title=$(awk -v s="$(wrap "$name" 22)" -v q="'" 'BEGIN {
    n = split(s, l, /\n|\\n/); y = (n == 1) ? 42 : 30
    for (j = 1; j <= n; j++) printf "text 0,%d %s%s%s ", y + (j - 1) * 25, q, l[j], q }')
  loop=$(awk '{ printf "%s,%s ", $2, $3 }' "$TRACK")
  part=$(geo part "$d0" "$d1")
  for k in "${!SECTIONS[@]}"; do
    read -r x y _ <<<"$(geo at "$(dist_of "$k")")"
    ticks+="circle $x,$y $(awk -v x="$x" 'BEGIN { print x + 2.6 }'),$y "
  done
  local sx sy tx ty nx ny fx fy ftx fty fnx fny ex ey etx ety
  read -r sx sy tx ty nx ny <<<"$(geo at "$d0")"
  read -r fx fy ftx fty fnx fny <<<"$(geo at 0)"
  read -r ex ey etx ety _ <<<"$(geo at "$(awk -v d="$d1" 'BEGIN { print d - 1 }')")"
  # Start/finish: a small chequered bar across the track, labelled to its left.
  local chequer label arrow flag
  chequer=$(awk -v x="$fx" -v y="$fy" -v tx="$ftx" -v ty="$fty" -v nx="$fnx" -v ny="$fny" 'BEGIN {
    q = 4.2
    for (a = -2; a < 2; a++) for (b = -1; b < 1; b++) {
      printf "fill %s polygon", ((a + b) % 2 ? "#111111" : "#ffffff")
      for (c = 0; c < 4; c++) {
        u = a + (c == 1 || c == 2); v = b + (c >= 2)
        printf " %.1f,%.1f", x + nx * u * q + tx * v * q, y + ny * u * q + ty * v * q
      }
      print ""
    }
    printf "fill none stroke #111111 stroke-width 0.8 polygon %.1f,%.1f %.1f,%.1f %.1f,%.1f %.1f,%.1f stroke none\n",
      x - 2 * q * nx - q * tx, y - 2 * q * ny - q * ty, x + 2 * q * nx - q * tx, y + 2 * q * ny - q * ty,
      x + 2 * q * nx + q * tx, y + 2 * q * ny + q * ty, x - 2 * q * nx + q * tx, y - 2 * q * ny + q * ty }')
  label=$(awk -v x="$fx" -v y="$fy" 'BEGIN { printf "%.1f,%.1f", x - 76, y - 9 }')
  # Arrowhead at the end of the section shows the driving direction.
  arrow=$(awk -v x="$ex" -v y="$ey" -v tx="$etx" -v ty="$ety" 'BEGIN {
    printf "polygon %.1f,%.1f %.1f,%.1f %.1f,%.1f", x + tx * 9, y + ty * 9,
      x - ty * 7 - tx * 3, y + tx * 7 - ty * 3, x + ty * 7 - tx * 3, y - tx * 7 - ty * 3 }')
  # Flag on a pole at the section start; the pennant points inwards near the right edge.
  flag=$(awk -v x="$sx" -v y="$sy" -v w=$MAP_W -v c="$col" 'BEGIN {
    s = (x > w - 60) ? -1 : 1
    printf "stroke #263238 stroke-width 2 line %.1f,%.1f %.1f,%.1f stroke none\n", x, y, x, y - 23
    printf "fill %s stroke #263238 stroke-width 1 polygon %.1f,%.1f %.1f,%.1f %.1f,%.1f stroke none\n",
      c, x, y - 23, x + s * 16, y - 18.5, x, y - 14
    printf "fill %s stroke #ffffff stroke-width 2.5 circle %.1f,%.1f %.1f,%.1f stroke none\n", c, x, y, x + 6.5, y }')
  local len; len=$(km $((d1 - d0)))
  convert -size ${MAP_W}x${MAP_H} xc:'#f5f3ee' -draw "
    fill #263238 rectangle 0,0 $MAP_W,84  fill $col rectangle 0,84 $MAP_W,90
    push graphic-context gravity North font '$FONT' font-size 11 fill #b0bec5
      text 0,10 'NORDSCHLEIFE  ·  SECTION $((i + 1)) OF ${#SECTIONS[@]}'
      font '$BOLD' font-size 20 fill #ffffff $title
    pop graphic-context
    fill none stroke #9ea3a8 stroke-width 3 stroke-linejoin round polygon $loop
    fill #ffffff stroke #8a9096 stroke-width 1.2 $ticks
    fill none stroke #ffffff stroke-width 13 stroke-linecap round stroke-linejoin round polyline $part
    stroke $col stroke-width 8 polyline $part stroke none
    fill $col $arrow
    $chequer
    font '$FONT' font-size 11 fill #37474f text $label 'Start/Finish'
    $flag
    push graphic-context gravity North
      font '$BOLD' font-size 21 fill #263238 text 0,408 'km $(km "$d0") – $(km "$d1")'
      font '$FONT' font-size 12 fill #607d8b text 0,438 '$len km of $(km $LAP) km  ·  deploy at $d0 m'
    pop graphic-context" \
    -strip -interlace none -sampling-factor 4:2:0 -colorspace sRGB -quality 88 "$OUT/karte$i.jpg"
}

# --- view ------------------------------------------------------------------
VIEW_W=418 VIEW_H=306

# Draws the view from the deploy point as MVG.  The road is a curve in a
# simple pinhole camera: x = bend*z^2/2 sideways, y = slope*z^2/2 upwards, so
# each section gets its own bend and crest.  The last line (an MVG comment)
# tells where the board stands: "#SIGN x y post-height-in-pixels".
VIEW_AWK='
function rnd() { SEED = (SEED * 16807) % 2147483647; return SEED / 2147483647 }
function xc(z) { return C * z * z / 2 }
function yw(z) { return SL * z * z / 2 }
function sx(o, z) { return W / 2 + F * (xc(z) + o - CAMX) / z }
function sy(e, z) { return Y0 + F * (CH - yw(z) - e) / z }
function pt(o, e, z) { return sprintf(" %.1f,%.1f", sx(o, z), sy(e, z)) }
function mix(r, g, b, z,   f) {
  f = z / (z + HAZE)
  return sprintf("#%02x%02x%02x", r + (200 - r) * f, g + (212 - g) * f, b + (220 - b) * f)
}
# A band along the road from edge (o1,e1) to edge (o2,e2), z from za to zb.
function band(o1, e1, o2, e2, za, zb, fill,   z, s, back) {
  s = ""; back = ""
  for (z = za; ; z = z * 1.05 + 0.3) {
    if (z > zb) z = zb
    s = s pt(o1, e1, z); back = pt(o2, e2, z) back
    if (z == zb) break
  }
  printf "fill %s polygon%s%s\n", fill, s, back
}
function quad(o1, e1, o2, e2, za, zb, fill) {
  printf "fill %s polygon%s%s%s%s\n", fill, pt(o1, e1, za), pt(o1, e1, zb), pt(o2, e2, zb), pt(o2, e2, za)
}
function tree(o, z,   x, y, k, h, w, j, yb, ya, hw, r, g) {
  h = 11 + rnd() * 9; w = h * (0.34 + rnd() * 0.1); r = 22 + rnd() * 20; g = 58 + rnd() * 30
  x = sx(o, z); y = sy(0, z); k = F / z
  if (x < -w * k || x > W + w * k) return
  printf "fill %s rectangle %.1f,%.1f %.1f,%.1f\n", mix(92, 64, 40, z), x - 0.3 * k, y - 2.2 * k, x + 0.3 * k, y
  for (j = 0; j < 4; j++) {
    yb = y - k * (1.6 + j * (h - 1.6) * 0.2); ya = yb - k * (h - 1.6) * (0.5 - j * 0.03); hw = k * w / 2 * (1 - j * 0.2)
    printf "fill %s polygon %.1f,%.1f %.1f,%.1f %.1f,%.1f\n", mix(r, g, r + 10, z), x, ya, x - hw, yb, x, yb
    printf "fill %s polygon %.1f,%.1f %.1f,%.1f %.1f,%.1f\n", mix(r + 16, g + 22, r + 18, z), x, ya, x, yb, x + hw, yb
  }
}
function forest(zlo, zhi, n, near, far,   t, z, s) {
  for (t = 0; t < n; t++) {
    z = zhi - (zhi - zlo) * t / n + rnd() * 3; s = (rnd() < 0.5) ? -1 : 1
    if (PIT) tree(s * (s > 0 ? 24 : 42) + s * rnd() * far, z)
    else if (z >= zlo) tree(s * (RW + near + rnd() * far), z)
  }
}
BEGIN {
  F = 300; HAZE = 160; CH = 1.5; CAMX = 0; RW = 4.5; POST = 1.3
  if (PIT) { CH = 1.2; CAMX = -1.5; RW = 7; POST = 0.3 }
  # The road ends where it leaves the picture or drops behind a crest.
  ZMAX = ZCREST = 330
  if (SL < 0) ZMAX = ZCREST = sqrt(2 * CH / -SL)
  for (z = 3; z < ZMAX; z++) if (sx(0, z) < -40 || sx(0, z) > W + 40) { ZMAX = z; break }

  # Clouds, distant hills and the forest on the horizon.
  printf "fill #ffffff fill-opacity 0.8\n"
  for (c = 0; c < 4; c++) {
    cx = 30 + rnd() * (W - 60); cy = 16 + rnd() * (Y0 - 70); rx = 22 + rnd() * 26
    for (e = 0; e < 4; e++)
      printf "ellipse %.0f,%.0f %.0f,%.0f 0,360\n", cx + (e - 1.5) * rx * 0.55, cy - (e % 3 == 1) * rx * 0.22, rx * 0.55, rx * 0.28
  }
  printf "fill-opacity 1\n"
  ph = rnd() * 6; s = sprintf("fill #8fa9b4 polygon 0,%d", Y0 + 2)
  for (x = 0; x <= W; x += 6) s = s sprintf(" %d,%.1f", x, Y0 - 13 - 8 * sin(x / 57 + ph) - 4 * sin(x / 19 + ph * 2))
  print s sprintf(" %d,%d", W, Y0 + 2)
  s = sprintf("fill #5e7f6c polygon 0,%d", Y0 + 2)
  for (x = 0; x <= W; x += 7) s = s sprintf(" %d,%d %.1f,%.1f", x, Y0 + 1, x + 3.5, Y0 - 4 - rnd() * 11)
  print s sprintf(" %d,%d", W, Y0 + 2)

  # Trees beyond a crest stand lower than the brow, so they go first.
  if (SL < 0) forest(ZCREST, 300, 24, 8, 40)
  # Grass in slightly alternating bands, fading into the haze.
  t = 0
  for (z = 2; z < ZCREST; t++) {
    zn = z * 1.12 + 0.5; if (zn > ZCREST) zn = ZCREST
    quad(-500, 0, 500, 0, z, zn, (t % 2) ? mix(84, 140, 58, z) : mix(94, 150, 64, z)); z = zn
  }
  if (PIT) {
    # Main straight and grandstand beyond the pit wall.
    band(-30, 0, -8, 0, 3, ZMAX, "#7f8386")
    quad(-34, 0, -34, 12, 60, 260, "#aab4c0")
    for (e = 1.5; e < 11; e += 1.5) quad(-34, e, -34, e + 0.5, 60, 260, "#8593a3")
    quad(-34, 12, -34, 14, 55, 260, "#37474f")
    forest(60, 260, 16, 0, 30)
  } else {
    zf = (ZCREST < 300) ? ZCREST : 300
    forest(25, zf, int(64 * (zf - 25) / 275) + 4, 6, 40)
  }

  # Asphalt, fading with distance, then white edge lines.
  for (z = 2; z < ZMAX; ) {
    zn = z * 1.08 + 0.3; if (zn > ZMAX) zn = ZMAX; col = mix(98, 101, 106, z * 0.7)
    printf "stroke %s stroke-width 0.7\n", col; quad(-RW, 0, RW, 0, z, zn, col); z = zn
  }
  printf "stroke none\n"
  band(-RW + 0.2, 0, -RW + 0.4, 0, 2, ZMAX, "#eeeeee")
  band(RW - 0.4, 0, RW - 0.2, 0, 2, ZMAX, "#eeeeee")

  if (PIT) {
    band(2.4, 0, 2.6, 0, 2, ZMAX, "#eeeeee")
    band(7, 0, 10, 0, 2, ZMAX, "#a3a5a7")
    # Pit wall with a blue band, and the debris fence above it.
    band(-7, 0, -7, 1.1, 2, ZMAX, "#dedcd4")
    band(-7, 0.7, -7, 0.9, 2, ZMAX, "#1e88e5")
    band(-7, 1.1, -7.4, 1.1, 2, ZMAX, "#f4f3ee")
    for (z = 3; z < 160; z += 5)
      printf "stroke #5b6670 stroke-width %.1f line%s%s stroke none\n", 1 + 12 / z, pt(-7.2, 1.1, z), pt(-7.2, 3.8, z)
    printf "stroke #5b6670 stroke-width 1.5 fill none polyline%s%s%s stroke none\n", pt(-7.2, 3.8, 3), pt(-7.2, 3.8, 30), pt(-7.2, 3.8, ZMAX)
    # Garages: a long front with open and closed doors under a blue fascia.
    band(10, 0, 10, 5.2, 2, ZMAX, "#ebe6da")
    for (z = 3; z < 220; z += 7) quad(10, 0, 10, 3.6, z + 1, z + 6, (int(z / 7) % 3 == 1) ? "#8e99a4" : "#30353c")
    band(10, 4.2, 10, 5.2, 2, ZMAX, "#1565c0")
    band(10, 5.2, 10, 5.5, 2, ZMAX, "#263238")
    SIDE = -1
  } else {
    # Red and white kerbs on the inside of a bend.
    if (C >= 0.004 || C <= -0.004) {
      k = (C > 0) ? 1 : -1
      t = 0
      for (z = 3; z < 70 && z < ZMAX; z += 2.2)
        quad(k * RW, 0, k * (RW + 1.1), 0, z, (z + 2.2 < ZMAX ? z + 2.2 : ZMAX), (t++ % 2) ? "#f2f2f2" : "#d32f2f")
    }
    # Guard rails on both sides.
    for (k = -1; k <= 1; k += 2) {
      o = k * (RW + 3.8)
      band(o, 0.45, o, 0.8, 3, ZMAX, "#c3c8cd")
      band(o, 0.42, o, 0.5, 3, ZMAX, "#7d858d")
      for (z = 4; z < 90 && z < ZMAX; z += 4)
        printf "stroke #69717a stroke-width %.1f line%s%s stroke none\n", 0.5 + 20 / z, pt(o, 0, z), pt(o, 0.8, z)
    }
    SIDE = (C > 0.0005) ? -1 : 1
  }
  printf "#SIGN %.1f %.1f %.1f\n", sx(SIDE * (RW + 2.5), 12), sy(0, 12), POST * F / 12
}'

view_picture() {
  local i=$1 name col d0 bend slope hy mvg gx gy post bw bh bx by
  name=$(field "$i" 1); col=$(field "$i" 4); d0=$(dist_of "$i")
  bend=$(field "$i" 5); slope=$(field "$i" 6); hy=$(field "$i" 7)
  mvg=$(awk -v W=$VIEW_W -v Y0="$hy" -v C="$bend" -v SL="$slope" -v SEED=$((i * 7919 + 17)) \
    -v PIT=$((i == 0)) "$VIEW_AWK")
  read -r _ gx gy post <<<"$(grep '^#SIGN' <<<"$mvg")"

  # The board: name and distance on white, framed in the section colour.
  convert -background white -fill '#1c1c1c' -font "$BOLD" -gravity center \
    -pointsize 15 label:"$(wrap "$name" 16)" \
    \( -pointsize 21 -fill '#263238' label:"km $(km "$d0")" \) -append \
    -bordercolor white -border 10x5 -bordercolor "$col" -border 5 \
    -bordercolor '#263238' -border 1 "$TMP/board.png"
  read -r bw bh <<<"$(identify -format '%w %h' "$TMP/board.png")"
  # Keep the whole board inside the picture.
  read -r bx by <<<"$(awk -v gx="$gx" -v gy="$gy" -v post="$post" -v bw="$bw" -v bh="$bh" -v W=$VIEW_W 'BEGIN {
    bx = gx - bw / 2; if (bx < 8) bx = 8; if (bx > W - 8 - bw) bx = W - 8 - bw
    by = gy - post - bh; if (by < 8) by = 8
    printf "%d %d\n", bx, by }')"
  local posts
  posts=$(awk -v bx="$bx" -v by="$by" -v bw="$bw" -v bh="$bh" -v gy="$gy" 'BEGIN {
    for (p = 0.22; p < 1; p += 0.56)
      printf "fill #5d4037 rectangle %.0f,%.0f %.0f,%.0f ", bx + bw * p - 3, by + bh - 2, bx + bw * p + 3, gy }')

  convert -size ${VIEW_W}x"$hy" gradient:'#4f8fd0-#d6e7f4' \
    -size ${VIEW_W}x$((VIEW_H - hy)) gradient:'#a9bda6-#4a8a30' -append \
    -draw "$mvg" -draw "$posts" "$TMP/board.png" -geometry +"$bx"+"$by" -composite \
    -strip -interlace none -sampling-factor 4:2:0 -colorspace sRGB -quality 88 "$OUT/blick$i.jpg"
}

# --- announcement ----------------------------------------------------------
announcement() {
  local i=$1 text len
  text=$(field "$i" 2)
  espeak-ng -v de -b 1 -s 150 -w "$TMP/raw.wav" "$text"
  # Trim silence at both ends, then a few milliseconds of padding against clicks.
  # -R keeps the dither repeatable, so every run writes identical files.
  local fx=(silence 1 0.02 0.5% reverse silence 1 0.02 0.5% reverse)
  sox -R "$TMP/raw.wav" "$TMP/trim.wav" "${fx[@]}"
  len=$(soxi -D "$TMP/trim.wav")
  local tempo=()
  if awk -v l="$len" 'BEGIN { exit !(l > 2.6) }'; then
    tempo=(tempo -s "$(awk -v l="$len" 'BEGIN { printf "%.3f", l / 2.6 }')")
  fi
  sox -R "$TMP/trim.wav" -r 22050 -c 1 -b 16 -e signed-integer "$OUT/ansage$i.wav" \
    "${tempo[@]}" pad 0.03 0.05 gain -n -1
}

# --- help page -------------------------------------------------------------
help_page() {
  cat <<'HTML'
<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>Lapforge Help</title>
<style>
  body { margin: 0; background: #eef1f4; color: #23303a; font: 15px/1.55 "Segoe UI", Tahoma, Verdana, sans-serif; }
  header { background: #263238; color: #fff; padding: 22px 32px 18px; border-bottom: 5px solid #1e88e5; }
  header h1 { margin: 0; font-size: 28px; letter-spacing: 0.5px; }
  header p { margin: 4px 0 0; color: #b0bec5; }
  nav { background: #fff; padding: 10px 32px; border-bottom: 1px solid #d5dbe0; font-size: 14px; }
  nav a { color: #1565c0; text-decoration: none; margin-right: 16px; white-space: nowrap; }
  nav a:hover { text-decoration: underline; }
  main { max-width: 860px; margin: 0 auto; padding: 8px 32px 40px; }
  section { background: #fff; border-radius: 6px; padding: 4px 24px 14px; margin: 20px 0; box-shadow: 0 1px 3px rgba(0,0,0,0.12); }
  h2 { color: #1565c0; font-size: 20px; border-bottom: 1px solid #e3e7ea; padding-bottom: 6px; }
  h3 { font-size: 16px; margin-bottom: 4px; }
  code, kbd { font-family: Consolas, "Courier New", monospace; font-size: 13.5px; }
  code { background: #f1f3f5; padding: 1px 4px; border-radius: 3px; }
  kbd { border: 1px solid #b0bac3; border-bottom-width: 2px; border-radius: 3px; padding: 0 5px; background: #fafbfc; }
  table { border-collapse: collapse; width: 100%; margin: 10px 0; font-size: 14px; }
  th, td { text-align: left; padding: 6px 10px; border-bottom: 1px solid #e3e7ea; }
  th { background: #f1f3f5; }
  tr:nth-child(even) td { background: #fafbfc; }
  .ui { font-weight: 600; color: #263238; }
  .note { background: #fff8e1; border-left: 4px solid #ffb300; padding: 8px 14px; margin: 12px 0; }
  dt { font-weight: 600; margin-top: 12px; }
  dd { margin-left: 20px; }
  footer { text-align: center; color: #78909c; font-size: 13px; padding-bottom: 24px; }
</style>
</head>
<body>
<header>
  <h1>Lapforge</h1>
  <p>Practise the Nordschleife in GPL one section at a time</p>
</header>
<nav>
  <a href="#what">What it does</a><a href="#first">First start</a><a href="#sections">Sections</a><a href="#launch">Launching GPL</a><a href="#hotkey">F4 hotkey</a><a href="#settings">Settings</a><a href="#restore">Track file back</a><a href="#trouble">Troubleshooting</a>
</nav>
<main>

<section id="what">
<h2>What Lapforge does</h2>
<p>The Nordschleife (folder <code>tracks\nurburg</code> in your GPL installation) is over 22 km long &ndash; too long
to learn a difficult corner by driving the whole lap again and again. Lapforge lets you start your practice session
right in front of the part you want to learn.</p>
<p>It does this by changing the deploy point of the first pit stall (the <code>stall_0</code> line, line 54 of
<code>tracks\nurburg\track.ini</code>). GPL then puts your car on the track at that point instead of in the pit lane.</p>
<p>The main window shows a drop-down list <span class="ui">Please choose track section from these:</span>, a map of the lap
with the chosen section highlighted (left), a view of the road from the deploy point (right), and the buttons
<span class="ui">Launch GPL</span>, <span class="ui">Help</span> and <span class="ui">Exit Lapforge</span>, plus the check box
<span class="ui">Activate F4 as hotkey</span>.</p>
</section>

<section id="first">
<h2>First start and the &ldquo;Where is GPL?&rdquo; dialog</h2>
<p>The first time you start Lapforge it does not know where GPL is installed, so it opens the dialog
<span class="ui">Where is GPL?</span>.</p>
<ol>
  <li>Pick the drive in the drive list.</li>
  <li>Open the folders in the folder list until you are in your GPL folder (the one containing <code>gpl.exe</code>,
  often <code>C:\Sierra\GPL</code> or <code>C:\GPL</code>).</li>
  <li><span class="ui">OK</span> becomes available as soon as the chosen folder contains <code>gpl.exe</code>. Click it.</li>
</ol>
<p>If you click <span class="ui">Cancel</span>, Lapforge tells you that GPL is not installed and closes.</p>
<p>Lapforge remembers the folder, so the dialog only appears again if that folder no longer holds a usable track file
(<code>tracks\nurburg\track.ini</code> with at least 100 lines).</p>
</section>

<section id="sections">
<h2>Choosing a section</h2>
<p>Choose a section from the drop-down list. Lapforge immediately shows its map and view and writes the section's
deploy point into line 54 of <code>track.ini</code>. The next time GPL loads the Nordschleife, your car starts there.</p>
<table>
<tr><th>#</th><th>Section</th><th>Runs</th><th>Deploy-point line</th></tr>
HTML
  local i
  for i in "${!SECTIONS[@]}"; do
    printf '<tr><td>%d</td><td>%s</td><td>km %s &ndash; %s</td><td><code>%s</code></td></tr>\n' \
      $((i + 1)) "$(field "$i" 1)" "$(km "$(dist_of "$i")")" "$(km "$(end_of "$i")")" "$(field "$i" 3)"
  done
  cat <<'HTML'
</table>
<p>The first number of a deploy-point line is the distance in metres along the lap. &ldquo;Pitlane&rdquo; puts back the
standard pit-lane deploy line.</p>
<p>The track file is rewritten safely: Lapforge writes a temporary file in the same folder and then replaces
<code>track.ini</code> with it, so an interruption never leaves a half-written file. Every other line is kept exactly as
it was, including any lines after line 100.</p>
<p>If another program (GPL itself, or a virus scanner) holds <code>track.ini</code> open so that it cannot be replaced,
Lapforge waits half a second for it and then writes the new lines straight into the file.</p>
</section>

<section id="launch">
<h2>Launching GPL</h2>
<p>Click <span class="ui">Launch GPL</span>. Lapforge starts <code>gpl.exe</code> from your GPL folder, maximised.
Choose the Nordschleife in GPL and start a practice session: your car is placed at the chosen section.</p>
<p>If GPL cannot be started, Lapforge shows <span class="ui">GPL could not be launched!</span>.</p>
</section>

<section id="hotkey">
<h2>The F4 hotkey</h2>
<p>While <span class="ui">Activate F4 as hotkey</span> is checked (it is checked when Lapforge starts), each press of
<kbd>F4</kbd> &ndash; anywhere on the desktop, also inside the running GPL &ndash; moves on to the next section in lap
order. After the last section, &ldquo;Antoniusbuche/Tiergarten&rdquo;, comes &ldquo;Pitlane&rdquo; again.</p>
<p>With each press Lapforge rewrites the track file and announces the new section by voice, so you know where you will
start without leaving the simulator. Leave the session (back to the pits/menu) and start a new one to be placed at the
new section.</p>
<p>The F4 cycle runs after you have started GPL with <span class="ui">Launch GPL</span>. Unchecking the box takes effect
after one more press of <kbd>F4</kbd>.</p>
</section>

<section id="settings">
<h2>Where the settings live</h2>
<p>Lapforge keeps a single setting: your GPL folder. It is stored in <code>lapforge.ini</code> beside
<code>lapforge.exe</code>, as one line containing the folder, for example:</p>
<p><code>C:\Sierra\GPL</code></p>
<p>To be asked for the folder again, close Lapforge and delete <code>lapforge.ini</code>.</p>
<p>The pictures and announcements (<code>.jpg</code> and <code>.wav</code> files) and this help page must stay in the same
folder as <code>lapforge.exe</code>.</p>
</section>

<section id="restore">
<h2>Getting the track file back</h2>
<ul>
  <li>Lapforge changes nothing but line 54 of <code>track.ini</code>.</li>
  <li>Choosing <span class="ui">Pitlane</span> restores the standard pit-lane deploy line
  <code>stall_0 = 230.00 -9.30</code> &ndash; for normal racing this is all you need.</li>
  <li>Before it changes <code>track.ini</code> for the first time, Lapforge saves an exact copy of your file beside it,
  as <code>tracks\nurburg\track.ini.lapforge-original</code>. It never overwrites that copy, so it stays your original,
  also for a modded track with a deploy line of its own. If the copy cannot be saved, Lapforge changes nothing.</li>
  <li>To restore the file completely, close GPL and Lapforge, delete <code>track.ini</code> and rename
  <code>track.ini.lapforge-original</code> to <code>track.ini</code>. Lapforge saves a new copy the next time it changes
  the file.</li>
</ul>
</section>

<section id="trouble">
<h2>Troubleshooting</h2>
<dl>
  <dt>The &ldquo;Where is GPL?&rdquo; dialog appears at every start.</dt>
  <dd>Lapforge cannot save <code>lapforge.ini</code>, usually because it was unpacked into a protected folder such as
  <code>Program Files</code>. Move the Lapforge folder somewhere you can write to, e.g. your Documents or
  <code>C:\Lapforge</code>. The dialog also appears when <code>tracks\nurburg\track.ini</code> is missing or has fewer
  than 100 lines; restore it from your backup or the installation media.</dd>

  <dt>&ldquo;GPL could not be launched!&rdquo;</dt>
  <dd>Check that <code>gpl.exe</code> is still in the remembered folder. If GPL was moved, delete
  <code>lapforge.ini</code> and choose the new folder.</dd>

  <dt><kbd>F4</kbd> does nothing.</dt>
  <dd>Make sure <span class="ui">Activate F4 as hotkey</span> is checked, and that you started GPL with
  <span class="ui">Launch GPL</span>: the cycle only runs after that.</dd>

  <dt>GPL is marked &ldquo;Run as administrator&rdquo;.</dt>
  <dd>Lapforge starts it the way Explorer does, so Windows asks for your consent first. Windows then keeps the keys you
  press in GPL from programs that are not run as administrator, so <kbd>F4</kbd> cannot reach Lapforge; Lapforge tells
  you so after the launch. Either start Lapforge as administrator too (right-click <code>lapforge.exe</code>,
  <span class="ui">Run as administrator</span>), or clear <span class="ui">Run this program as an administrator</span>
  on the <span class="ui">Compatibility</span> tab of <code>gpl.exe</code>&rsquo;s properties.</dd>

  <dt>&ldquo;Lapforge&rsquo;s files &hellip; are missing beside lapforge.exe&rdquo;</dt>
  <dd>Lapforge was started from inside the zip file, where Windows runs <code>lapforge.exe</code> on its own in a
  temporary folder. Unpack the whole Lapforge folder first (right-click the zip file, <span class="ui">Extract
  All&hellip;</span>) and start <code>lapforge.exe</code> in the unpacked folder.</dd>

  <dt>No announcement is heard.</dt>
  <dd>The section's <code>.wav</code> file may be missing from the Lapforge folder, or Windows has no working sound
  device (check the volume and the default playback device).</dd>

  <dt>A map or view picture is missing.</dt>
  <dd>The <code>.jpg</code> files must stay beside <code>lapforge.exe</code>. A missing picture only leaves its box
  empty; the section is still applied to the track file.</dd>

  <dt>An error names the track file.</dt>
  <dd><code>track.ini</code> is read-only or cannot be replaced. Clear the read-only attribute (right-click the
  file, Properties) and check that your Windows user may change files in the GPL folder. An error that names
  <code>track.ini.lapforge-original</code> has the same causes: without that copy Lapforge changes nothing.</dd>

  <dt>GPL is installed under <code>Program Files</code>.</dt>
  <dd>Windows protects that folder: only programs run as administrator may change files there, so Lapforge's error
  says &ldquo;access is denied&rdquo;. Move the GPL folder out of <code>Program Files</code>, for example to
  <code>C:\GPL</code> (Lapforge asks for the new place at its next start), or run both GPL and Lapforge as
  administrator. An old program like GPL that is not run as administrator may also have been given its own copy of the
  file under <code>%LOCALAPPDATA%\VirtualStore</code>, for example
  <code>C:\Users\<i>you</i>\AppData\Local\VirtualStore\Program Files (x86)\Sierra\GPL\tracks\nurburg\track.ini</code>.
  If that copy exists, GPL reads it, not the file Lapforge changes; Lapforge's error then names it.</dd>
</dl>
</section>

</main>
<footer>Lapforge &ndash; a companion for Grand Prix Legends</footer>
</body>
</html>
HTML
}

# --- main ------------------------------------------------------------------
check_tools
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
TRACK=$TMP/track.txt
mkdir -p "$OUT"
rm -f "$OUT"/karte*.jpg "$OUT"/blick*.jpg "$OUT"/ansage*.wav "$OUT"/LapforgeHelp.html

make_track
for i in "${!SECTIONS[@]}"; do
  echo "section $i: $(field "$i" 0)"
  map_picture "$i"
  view_picture "$i"
  announcement "$i"
done
help_page >"$OUT/LapforgeHelp.html"
echo "wrote $(find "$OUT" -maxdepth 1 -type f | wc -l) files to $OUT"
