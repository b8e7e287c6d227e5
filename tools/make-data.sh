#!/usr/bin/env bash
# Regenerates the files that ship beside lapforge.exe: a map with its road file
# and a view picture per track section, a view every 250 m of the lap (lap/),
# a spoken announcement per section, the cue for a deploy point not written,
# the cue for the driver's own point and the help page.
# The pictures are drawn by tools/track/render.py from the real geometry kept
# beside it (OpenStreetMap, see tools/track/NOTICE.md); the announcements are
# synthesised here.  The output is the same on every run.
# Usage: tools/make-data.sh [--help-page]   (from any directory)
set -euo pipefail
export LC_NUMERIC=C   # decimal points, not commas, in awk and printf

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
OUT=$(cd "$HERE/.." && pwd)/data
FONT_DIR=${FONT_DIR:-/usr/share/fonts/truetype/dejavu}
LAP=22800   # metres; the last section runs to the end of the lap

# One row per section, in lap order:
#   name as the program lists it | name on pictures | spoken | deploy line | colour
SECTIONS=(
  "Pitlane|Pitlane|Boxengasse|stall_0 = 230.00 -9.30|#1e88e5"
  "Flugplatz/Schwedenkreuz|Flugplatz/Schwedenkreuz|Flugplatz, Schwedenkreuz|stall_0 = 3100.00 0.00|#e53935"
  "Fuchsroehre/Adenauer Forst|Fuchsröhre/Adenauer Forst|Fuchsröhre, Adenauer Forst|stall_0 = 5600.00 0.00|#fb8c00"
  "Metzgesfeld/Kallenhard/Wehrseifen|Metzgesfeld/Kallenhard/Wehrseifen|Metzgesfeld, Kallenhard, Wehrseifen|stall_0 = 7100.00 0.00|#8e24aa"
  "Ex-Muehle/Bergwerk|Ex-Mühle/Bergwerk|Ex-Mühle, Bergwerk|stall_0 = 9300.00 0.00|#00897b"
  "Breidscheid/Kesselchen|Breidscheid/Kesselchen|Breidscheid, Kesselchen|stall_0 = 10300.00 0.00|#d81b60"
  "Klostertal/Karussell|Klostertal/Karussell|Klostertal, Karussell|stall_0 = 12500.00 0.00|#3949ab"
  "Hohe Acht/Wippermann|Hohe Acht/Wippermann|Hohe Acht, Wippermann|stall_0 = 14000.00 0.00|#43a047"
  "Bruennchen/Pflanzgarten|Brünnchen/Pflanzgarten|Brünnchen, Pflanzgarten|stall_0 = 15600.00 0.00|#f4511e"
  "Schwalbenschwanz/Doettinger Hoehe|Schwalbenschwanz/Döttinger Höhe|Schwalbenschwanz, Döttinger Höhe|stall_0 = 17800.00 0.00|#00acc1"
  "Antoniusbuche/Tiergarten|Antoniusbuche/Tiergarten|Antoniusbuche, Tiergarten|stall_0 = 19400.00 0.00|#6d4c41"
)

# --- tools -----------------------------------------------------------------
# Debian's Python, whatever python3 comes first on PATH: the pictures need its numpy and Pillow.
PYTHON=${PYTHON:-/usr/bin/python3}

check_tools() {
  local missing=()
  "$PYTHON" -c 'import numpy' 2>/dev/null || missing+=(python3-numpy)
  "$PYTHON" -c 'import PIL' 2>/dev/null || missing+=(python3-pil)
  command -v espeak-ng >/dev/null || missing+=(espeak-ng)
  command -v sox >/dev/null && command -v soxi >/dev/null || missing+=(sox)
  [ -f "$FONT_DIR/DejaVuSans-Bold.ttf" ] || missing+=(fonts-dejavu-core)
  [ -f "$FONT_DIR/DejaVuSansCondensed-Bold.ttf" ] || missing+=(fonts-dejavu-extra)
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

# "index|name on pictures|from|to|colour" per section, for tools/track/render.py.
picture_rows() {
  local i
  for i in "${!SECTIONS[@]}"; do
    echo "$i|$(field "$i" 1)|$(dist_of "$i")|$(end_of "$i")|$(field "$i" 4)"
  done
}

# --- announcement ----------------------------------------------------------
# speak TEXT VOICE OUT: espeak-ng's voice, trimmed, at most 2.6 s long.
speak() {
  local text=$1 voice=$2 out=$3 len
  espeak-ng -v "$voice" -b 1 -s 150 -w "$TMP/raw.wav" "$text"
  # Trim silence at both ends, then a few milliseconds of padding against clicks.
  # -R keeps the dither repeatable, so every run writes identical files.
  local fx=(silence 1 0.02 0.5% reverse silence 1 0.02 0.5% reverse)
  sox -R "$TMP/raw.wav" "$TMP/trim.wav" "${fx[@]}"
  len=$(soxi -D "$TMP/trim.wav")
  local tempo=()
  if awk -v l="$len" 'BEGIN { exit !(l > 2.6) }'; then
    tempo=(tempo -s "$(awk -v l="$len" 'BEGIN { printf "%.3f", l / 2.6 }')")
  fi
  sox -R "$TMP/trim.wav" -r 22050 -c 1 -b 16 -e signed-integer "$out" \
    "${tempo[@]}" pad 0.03 0.05 gain -n -1
}

announcement() { speak "$(field "$1" 2)" de "$OUT/ansage$1.wav"; }

# Played instead of an announcement when the deploy point could not be written.
cue() { speak "Deploy point not written" en "$OUT/deploy-not-written.wav"; }

# Played for the driver's own point where Windows has no voice to speak its name: two soft rising
# notes (G5, then C6), each fading out softly, 0.4 s in all.
point_cue() {
  local note=("784 0.13" "1046.5 0.24") i f len
  for i in 0 1; do
    read -r f len <<<"${note[$i]}"
    sox -R -n -r 22050 -c 1 -b 16 -e signed-integer "$TMP/note$i.wav" \
      synth "$len" sine "$f" fade h 0.004 "$len" "$(awk -v l="$len" 'BEGIN { print l - 0.01 }')"
  done
  sox -R "$TMP/note0.wav" "$TMP/note1.wav" -r 22050 -c 1 -b 16 -e signed-integer "$OUT/point-cue.wav" \
    pad 0.01 0.02 gain -n -3
}

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
  <a href="#what">What it does</a><a href="#first">First start</a><a href="#sections">Sections</a><a href="#pictures">Your own views</a><a href="#launch">Launching GPL</a><a href="#hotkey">Hotkeys</a><a href="#points">Your own points</a><a href="#settings">Settings</a><a href="#restore">Track file back</a><a href="#trouble">Troubleshooting</a>
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
<span class="ui">Activate F4 as hotkey</span> with the buttons <span class="ui">Keys&hellip;</span> and
<span class="ui">Points&hellip;</span> under it. At the bottom it shows the GPL folder in use, with a <span class="ui">Change&hellip;</span> button, and under it a status line:
it says at all times whether the hotkey is waiting for GPL, works in the running GPL or is off, and at which section
GPL will start you. Anything that went wrong while you drive is told there, never in a box you would have to click.</p>
<p>When it starts, Lapforge sets the Pitlane deploy point; when you exit it (or Windows shuts down), it puts line 54
back as it found it, so GPL started on its own deploys where it always did. Keep Lapforge open while you drive: if you
exit it first, GPL started afterwards deploys in the pits again.</p>
<p>Only one Lapforge runs at a time. Starting it a second time (a double-click too many, a shortcut in Startup) brings
the running one to the front and changes nothing.</p>
</section>

<section id="first">
<h2>First start and the &ldquo;Where is GPL?&rdquo; dialog</h2>
<p>The first time you start Lapforge it does not know where GPL is installed, so it opens the dialog
<span class="ui">Where is GPL?</span>.</p>
<ol>
  <li>Pick the drive in the drive list.</li>
  <li>Open the folders in the folder list until you are in your GPL folder (the one containing <code>gpl.exe</code>,
  often <code>C:\Sierra\GPL</code> or <code>C:\GPL</code>).</li>
  <li><span class="ui">OK</span> becomes available as soon as the chosen folder contains <code>gpl.exe</code> and a
  track file Lapforge can use: <code>tracks\nurburg\track.ini</code>, readable, at least 100 lines long, with GPL's
  deploy point (<code>stall_0 = &hellip;</code>) in line 54. Where something is missing, the line under the drive list
  says what. Click <span class="ui">OK</span> (or press <kbd>Enter</kbd>).</li>
</ol>
<p>If you click <span class="ui">Cancel</span> (or press <kbd>Esc</kbd>, or close the dialog), Lapforge tells you
that GPL is not installed and closes.</p>
<p>Lapforge remembers the folder, so the dialog only appears again if that folder no longer holds a usable track file;
it then says in its last line why the remembered folder would not do.</p>
<p>Lapforge only ever replaces a deploy-point line. A track file from a track update or another season's mod that
keeps something else in line 54 is left alone.</p>
</section>

<section id="sections">
<h2>Choosing a section</h2>
<p>Choose a section from the drop-down list. Lapforge immediately shows its map and view and writes the section's
deploy point into line 54 of <code>track.ini</code>. The next time GPL loads the Nordschleife, your car starts there.</p>
<table>
<tr><th>#</th><th>Section</th><th>Runs</th><th>Deploy-point line</th><th>Corners</th></tr>
HTML
  local i
  for i in "${!SECTIONS[@]}"; do
    printf '<tr><td>%d</td><td>%s</td><td>km %s &ndash; %s</td><td><code>%s</code></td><td>%s</td></tr>\n' \
      $((i + 1)) "$(field "$i" 1)" "$(km "$(dist_of "$i")")" "$(km "$(end_of "$i")")" "$(field "$i" 3)" "${CORNERS[$i]}"
  done
  cat <<'HTML'
</table>
<p>The first number of a deploy-point line is the distance in metres along the lap. &ldquo;Pitlane&rdquo; puts back the
standard pit-lane deploy line.</p>
<p>The maps and views show the real Nordschleife. GPL counts its metres along the 1967 lap, which began on the old
start/finish straight in front of the old pits; the pictures place each deploy point about 1.4 km before GPL's
distance on today's loop. This is a fit, not a survey, so the <b>positions on the maps and views are
approximate</b>. The corners listed are those whose tightest point lies inside the section, under the names
they had in 1967; corners named only later are left out. The old start/finish
straight, the S&uuml;dkehre and the road behind the pits were torn down in the early 1980s and are not in the
surveyed data: the maps draw them by hand (dashed), and the &ldquo;Pitlane&rdquo; view shows the old pits, the pit
straight and the S&uuml;dkehre in simple form.</p>
<p>Each view shows the road ahead of the deploy point as a TV crane would, from high up behind it: the next
1.3 km or so with every bend, crest and dip, the deploy point marked with the section's flag, the corners ahead under
their 1967 names, and along the bottom the next corner, how far it is and the km of the deploy point. The heights are
drawn three times as steep as they are, so that valleys and crests show from above, and far country fades into haze.
Woods are drawn as tree crowns seen from above, darker than the open fields, hedges and lone trees beside them; the
woods stand back from the road so they never hide it. A few stretches are shown the way a driver knows them: the
Fuchsr&ouml;hre dropping out of sight into its valley, Metzgesfeld to Wehrseifen steeply from above, the Klostertal
with the Karussell's bowl from the side, the Hohe Acht climbing against the sky. Only what stood in 1967 is drawn:
the bridge at Breidscheid, the spectators' bank at Br&uuml;nnchen, and the concrete of the banked Karussell and of
the small banked corner at the Schwalbenschwanz.</p>
<p>The track file is rewritten safely: Lapforge writes a temporary file in the same folder and then replaces
<code>track.ini</code> with it, so an interruption never leaves a half-written file. Every other line is kept exactly as
it was, including any lines after line 100.</p>
<p>If another program (GPL itself, or a virus scanner) holds <code>track.ini</code> open so that it cannot be replaced,
Lapforge waits half a second for it and then writes the new lines straight into the file.</p>
</section>

<section id="pictures">
<h2>Your own view pictures</h2>
<p>You can replace a view with a picture of your own, for example a screenshot taken in GPL at the deploy point:</p>
<ol>
  <li>Save the picture as a JPEG file (in Paint: <span class="ui">Save as</span>, <span class="ui">JPEG
  picture</span>) named <code>blick</code><i>N</i><code>.jpg</code> in the folder of
  <code>lapforge.exe</code>, in place of the file that is there. <i>N</i> is the section's number in the table above
  less one: <code>blick0.jpg</code> is Pitlane, <code>blick1.jpg</code> Flugplatz/Schwedenkreuz, and so on to
  <code>blick10.jpg</code>.</li>
  <li>Any size will do: Lapforge fits the picture into the view's box, keeping its shape, so a picture of another
  shape leaves narrow bands of the window's colour beside or above it.</li>
  <li>Lapforge reads the picture each time the section is chosen: pick another section and then this one again, or
  start Lapforge anew.</li>
</ol>
<p>The file must be a real JPEG: a PNG or BMP renamed to <code>.jpg</code>, or a file cut short, leaves the box empty.
Pictures of more than 40 megapixels or 64 MB are not shown. Keep a copy of your pictures: unpacking a new Lapforge
over the folder replaces them. The maps (<code>karte</code><i>N</i><code>.jpg</code>) can be replaced the same
way.</p>
<p>The folder <code>lap</code> beside <code>lapforge.exe</code> holds a view for every 250 m of the lap, drawn the same
way but without the strip, and each map has a <code>karte</code><i>N</i><code>.road</code> file that says where the
road runs on it. Keep both with the other files.</p>
</section>

<section id="launch">
<h2>Launching GPL</h2>
<p>Click <span class="ui">Launch GPL</span>. Lapforge starts <code>gpl.exe</code> from your GPL folder, maximised.
Choose the Nordschleife in GPL and start a practice session: your car is placed at the chosen section.</p>
<p>To drive a mod, pick its program in the list beside the button: it offers <code>gpl.exe</code> and every other
<code>gpl*.exe</code> in your GPL folder, such as the copy <code>gplc67.exe</code> a mod's launcher makes. Lapforge
remembers the choice; a mod installed while Lapforge runs shows when you open the list. If the chosen program is gone,
Lapforge starts <code>gpl.exe</code> again and the status line says so.</p>
<p>If GPL cannot be started, Lapforge shows <span class="ui">GPL could not be launched!</span>.</p>
<p>If GPL is already running, however you started it, <span class="ui">Launch GPL</span> does not start a second copy:
it brings the running GPL to the front.</p>
<p>You do not have to start GPL from Lapforge. Start it the way you like &ndash; with its mod launcher to pick the
1965, 1967 or 1969 season, or with a desktop shortcut &ndash; and the hotkeys work all the same.</p>
</section>

<section id="hotkey">
<h2>Hotkeys: the next and the previous section</h2>
<p>While <span class="ui">Activate F4 as hotkey</span> is checked (it is checked when Lapforge starts) and GPL from your
GPL folder is running, each press of <kbd>F4</kbd> &ndash; anywhere on the desktop, also inside the running GPL &ndash;
moves on to the next section in lap order. After the last section, &ldquo;Antoniusbuche/Tiergarten&rdquo;, comes
&ldquo;Pitlane&rdquo; again.</p>
<p>With each press Lapforge rewrites the track file and, once it is written, announces the new section by voice, so you
know where you will start without leaving the simulator; each announcement cuts off the one before. Leave the session (back to the pits/menu) and start a new one
to be placed at the new section.</p>
<ul>
  <li>It does not matter how GPL was started: Lapforge notices within about a second any <code>gpl.exe</code>, or
  other <code>gpl*.exe</code> such as a season's copy, running from your GPL folder &ndash; also when the folder is
  reached another way, such as through a linked folder, a drive letter made with <code>subst</code>, or a network
  drive where GPL runs under the network path.</li>
  <li>When GPL ends, the hotkeys rest; when you start GPL again, they work again. While GPL is not running, Lapforge
  reads no keys at all.</li>
  <li>Unchecking the box stops the hotkeys at once; checking it again starts them again, without a new launch.</li>
  <li>Holding a key or button down moves exactly one section; press it again for the next.</li>
  <li>A key pressed while <kbd>Alt</kbd>, <kbd>Ctrl</kbd> or the <kbd>Windows</kbd> key is held does not count, so
  closing a window with <kbd>Alt</kbd>+<kbd>F4</kbd> leaves the section alone. <kbd>Shift</kbd> makes no
  difference, and a button or the hat on your wheel counts whatever keys are held.</li>
  <li>Short presses count too, such as the click of a rotary encoder on a button box: a quick spin moves one section
  per click, and only the last section's pictures are shown.</li>
  <li>A hat direction counts when you press it on its own: sliding from up into up-right does not press right, and a
  diagonal straight from the middle presses neither direction.</li>
  <li>If the track file cannot be written at that moment (a virus scanner or OneDrive holding it, the file made
  read-only, a USB drive pulled), Lapforge keeps running: the section stays where it was, a short voice says
  &ldquo;Deploy point not written&rdquo; instead of the announcement, the status line says what failed and
  Lapforge's taskbar button flashes. Press again once the cause is gone; nothing else is needed.</li>
</ul>
<h3>Your own keys, or a button on your wheel</h3>
<p>Click <span class="ui">Keys&hellip;</span> to choose what moves the section:</p>
<ul>
  <li><span class="ui">Next section</span> (<kbd>F4</kbd> at first) moves on in lap order;
  <span class="ui">Previous section</span> (not set at first) moves back in lap order and announces that section.</li>
  <li>Click <span class="ui">Change</span> beside one, and press the key or the button you want: any key, a button on
  a wheel, a button box or a joystick, or a direction of the wheel&rsquo;s hat (the small cross-shaped D-pad most wheels
  have) &ndash; the one your hands are on while driving. The window then names it with its controller, for example
  <span class="ui">button 5 on G27 Racing Wheel</span> or <span class="ui">hat right on G27 Racing Wheel</span>.
  <kbd>Esc</kbd> cancels the change.</li>
  <li>Only a press made after you clicked <span class="ui">Change</span> counts. A button that stays down &ndash; an
  H-shifter in gear, a latched toggle or a rotary switch on a button box &ndash; is ignored until you let it go, and
  never keeps the window&rsquo;s buttons from working.</li>
  <li>A key pressed together with <kbd>Alt</kbd>, <kbd>Ctrl</kbd> or the <kbd>Windows</kbd> key is not taken, so
  <kbd>Alt</kbd>+<kbd>Tab</kbd> away during a change binds nothing; with <kbd>Shift</kbd> held, the key itself is
  taken, just as it then counts while you drive. For the hat, press one direction on its own: a diagonal is not
  taken.</li>
  <li>One key or button cannot move both ways: pressing the one that already moves the other way is refused, and the
  window says which one has it.</li>
  <li><span class="ui">Clear</span> sets <span class="ui">Previous section</span> back to &ldquo;not set&rdquo;.</li>
  <li>Click <span class="ui">OK</span> (or press <kbd>Enter</kbd>) to keep your choice; <span class="ui">Cancel</span>,
  <kbd>Esc</kbd> or the close box leave everything as it was. The check box then names the key or button that moves
  on, for example <span class="ui">Activate button 5 as hotkey</span>.</li>
  <li>The window tells you which controllers are connected, and says so plainly when none is. Lapforge reads buttons 1
  to 32 and the hat; where a button box has more buttons, the window says which it can use.</li>
  <li>Lapforge knows your wheel by its make and name, not by the number Windows gives it. Plug it into another USB
  port, add a second device or change the preferred device in the Game Controllers panel, and its button still works.
  Of two identical wheels or boxes, Lapforge takes the one in the same place among them. Unplugging the wheel while
  driving disturbs nothing; plug it back in and its button works again at once.</li>
  <li>Below the two, the window lists every section and every point of your own, each with a key or button that
  takes you straight there: see <a href="#jump">A key or button for each place</a>.</li>
</ul>
</section>

<section id="points">
<h2>Your own points</h2>
<p>The sections lie 1.5 to 3 km apart. To practise one corner again and again, start a few hundred metres before
it: give Lapforge a deploy point of your own there.</p>
<h3>Adding a point on the map</h3>
<ol>
  <li>Choose the section whose map shows the place.</li>
  <li>Click the road on the map where you want to start (over a map whose road Lapforge knows, the pointer is a
  hand).</li>
  <li>The small window <span class="ui">Point</span> offers the place, for example <span class="ui">Deploy at km 12.30
  &mdash; Karussell in 450 m</span>, with a name ready, after the next corner: <span class="ui">Before
  Karussell</span>. Change the name if you like, then click <span class="ui">OK</span> (or press <kbd>Enter</kbd>).
  Lapforge keeps the point and deploys you there at once. <span class="ui">Cancel</span> (or <kbd>Esc</kbd>)
  changes nothing.</li>
</ol>
<p>A map picture of your own (see <a href="#pictures">Your own view pictures</a>) takes no clicks.</p>
<h3>Adding a point by its distance</h3>
<ol>
  <li>Click <span class="ui">Points&hellip;</span> under the check box, then <span class="ui">Add&hellip;</span>.</li>
  <li>Type the distance along the lap in km, for example <code>12.3</code> (<code>12,3</code> works too). As you
  type, the line below says where that is, or what is wrong with it.</li>
  <li>Check the name and click <span class="ui">OK</span>.</li>
</ol>
<p>A point lies on the lap from km 1.63 to km 22.18 (the pit loop around the line is Pitlane&rsquo;s), at least 50 m
from every section&rsquo;s deploy point and from your other points. You can have up to 50. A name has at most 40
characters on one line, in letters Windows&rsquo; own code page for older programs has, as the GPL folder&rsquo;s
name; left empty, it is the default. Whatever is wrong is said in the window, which stays open and changes
nothing.</p>
<h3>Driving your points</h3>
<p>Your points stand in the drop-down list in lap order, each after the section it lies in and marked with a star:
<span class="ui">&#9733; Before Karussell</span>. Pick one like a section: Lapforge writes its deploy line, for km
12.30 <code>stall_0 = 12300.00 0.00</code>, and shows the map of its section with the point flagged on it and the
view from the <code>lap</code> folder nearest to it. <kbd>F4</kbd> and your other hotkeys visit your points in lap
order along with the sections. Your points have no recorded announcement: Windows speaks the point&rsquo;s name with
your default voice. Where Windows has no voice installed, two short rising notes play and the status line names the
point.</p>
<h3>The Points window</h3>
<p><span class="ui">Points&hellip;</span> lists your points in lap order with their distance, name and key or button.
<span class="ui">Add&hellip;</span>, <span class="ui">Rename&hellip;</span> (or a double-click) and
<span class="ui">Remove</span> change them, and every change is saved at once. Removing the point GPL would start you
at moves the deploy point to the section it lies in. Tick <span class="ui">F4 visits only my points</span> to make
the hotkeys skip the eleven sections (it names your key or button when you chose another); without points it is off.
<span class="ui">Close</span> (or <kbd>Esc</kbd>) ends the window.</p>
<h3 id="jump">A key or button for each place</h3>
<p>Any section or point of yours can have a key or button of its own that takes you straight there while GPL runs
&ndash; a button box with six buttons deploys you at six places, a button for Pitlane is the common one. None is
set at first.</p>
<ol>
  <li>Click <span class="ui">Keys&hellip;</span>. Below <span class="ui">Next section</span> and
  <span class="ui">Previous section</span> the list holds every section and every point of yours.</li>
  <li>Pick the place and click <span class="ui">Change</span> under the list (or double-click the place), then press
  the key or the button. The same rules hold as for next and previous: only a press made after you clicked counts,
  a key with <kbd>Alt</kbd>, <kbd>Ctrl</kbd> or the <kbd>Windows</kbd> key is not taken, and a key or button that
  already does something &ndash; moves on, moves back or takes you to another place &ndash; is refused, with a line
  saying what it does. <span class="ui">Clear</span> takes the place&rsquo;s key or button away.</li>
  <li>Click <span class="ui">OK</span> to keep all your choices; <span class="ui">Cancel</span> keeps none.</li>
</ol>
<p>The Points window shows each point&rsquo;s key or button too.</p>
</section>

<section id="settings">
<h2>Where the settings live</h2>
<p>Lapforge keeps your GPL folder and your hotkeys in <code>lapforge.ini</code> beside <code>lapforge.exe</code>. The
first line is the folder; a line for each hotkey you changed follows, for example:</p>
<p><code>C:\Sierra\GPL</code><br><code>next=joy:0:button:5:046d:c29b:0:G27 Racing Wheel</code><br><code>previous=key:0x72</code></p>
<p>A wheel&rsquo;s line holds the number Windows last gave it, its make, its place among identical ones and its name. A
line from an older Lapforge such as <code>next=joy:0:button:5</code> still works: Lapforge learns the wheel&rsquo;s make
from the controller that answers under that number.</p>
<p>Your points and their keys follow: a <code>jump=</code> line for each place with a key or button of its own (the
place a section&rsquo;s name or a point&rsquo;s distance in metres), <code>only-my-points=yes</code> while
<span class="ui">F4 visits only my points</span> is ticked, and a <code>point=</code> line for each point, for
example:</p>
<p><code>jump=joy:0:button:3:1234:0001:0:Button Box:12300</code><br><code>point=12300:Before Karussell</code></p>
<p>A point&rsquo;s name is kept in Windows&rsquo; own code page for older programs, like the folder. A hotkey, point or
jump line Lapforge cannot use is skipped and kept in the file exactly as it is (a hotkey then works as Lapforge&rsquo;s
own until you set one in <span class="ui">Keys&hellip;</span>); a box lists these lines with the reason once at each
start, and the status line keeps a line about them until the first section is written. Lines Lapforge does not know
stay in the file too.</p>
<p>An older Lapforge reads the same file and simply uses the folder.</p>
<p>If you keep one GPL folder per season mod, click <span class="ui">Change&hellip;</span> beside the folder shown at
the bottom of the main window and open the other GPL folder. Lapforge puts line 54 of the old folder's track file back
as it found it, remembers the new folder (your hotkeys stay) and applies the section shown there.</p>
<p>The pictures and announcements (<code>.jpg</code> and <code>.wav</code> files) and this help page must stay in the same
folder as <code>lapforge.exe</code>.</p>
</section>

<section id="restore">
<h2>Getting the track file back</h2>
<ul>
  <li>Lapforge changes nothing but line 54 of <code>track.ini</code>, and only where that line is GPL's deploy
  point. It reads the file afresh before every change, so a track update, a mod manager or your own edit of any
  other line while Lapforge runs stays as it is. If line 54 itself is changed meanwhile to a line Lapforge never
  writes, that line is GPL's own from then on, and the status line says so.</li>
  <li>When you exit Lapforge, change the GPL folder or Windows shuts down, Lapforge puts line 54 back exactly as it was
  when Lapforge started.</li>
  <li>Before it first changes the file, Lapforge notes the line it found in
  <code>tracks\nurburg\track.ini.lapforge-record</code>, and it removes that note when it puts the line back. If
  Lapforge was ended any other way &ndash; by Task Manager, a crash or a power cut &ndash; the next Lapforge reads the
  note and puts GPL's own line back when it ends, unless you or a track update changed line 54 in the meantime:
  then your new line counts as found. If Lapforge must stop on an error, it puts the line back first.</li>
  <li>If Windows refuses a change (a virus scanner or a backup tool holding the file, a read-only flag, a full
  disk), nothing is changed and Lapforge goes on: the status line says what failed and what to do, and the next
  pick or press tries again.</li>
  <li>Car mods keep track files of their own beside <code>track.ini</code>, such as <code>track65.ini</code> or
  <code>trackGT.ini</code>, and a mod's GPL reads its own file first. Lapforge writes the same deploy point into each
  of them after <code>track.ini</code>, keeps a note and an original copy beside each, and puts every one back as it
  does <code>track.ini</code>. A file switched off with a leading underscore (<code>_track65.ini</code>) is left
  alone. If a mod's file cannot be written, the others are written all the same and the status line says which
  mod's file and what to do; the next press tries it again. A mod installed while Lapforge runs counts from the
  next start of GPL.</li>
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
  <code>C:\Lapforge</code>. The dialog also appears when <code>tracks\nurburg\track.ini</code> is missing, has fewer
  than 100 lines or keeps something other than the deploy point in line 54; its last line then says which. Restore
  the file from <code>track.ini.lapforge-original</code>, your backup or the installation media, or pick another GPL
  folder.</dd>
  <dt>Lapforge says it could not read its settings.</dt>
  <dd>Another program holds <code>lapforge.ini</code> (a sync or backup program), the file is online-only while you
  are offline, or you may not read it. Lapforge then never writes the file in that run, so your folder, points and
  keys stay in it: pick the GPL folder to practise, exit, put the cause right and start Lapforge again.</dd>

  <dt>&ldquo;GPL could not be launched!&rdquo;</dt>
  <dd>The message names the file Lapforge tried to start and Windows' reason. Check that <code>gpl.exe</code> is still
  in the folder shown at the bottom of the main window. If GPL was moved, click <span class="ui">Change&hellip;</span>
  and open the new folder.</dd>

  <dt><kbd>F4</kbd> (or your key or button) does nothing.</dt>
  <dd>Make sure the check box (<span class="ui">Activate F4 as hotkey</span>) is checked and that GPL is running from
  the folder Lapforge knows: a GPL started from another folder does not count. After GPL starts, give Lapforge about a
  second to notice it. A key pressed with <kbd>Alt</kbd>, <kbd>Ctrl</kbd> or the <kbd>Windows</kbd> key held does
  not count. For a wheel button, check in <span class="ui">Keys&hellip;</span> that the wheel is listed as
  connected.</dd>

  <dt>GPL runs as administrator.</dt>
  <dd>However GPL was started &ndash; marked <span class="ui">Run as administrator</span>, by a launcher that runs as
  administrator, or under another account &ndash; Windows keeps the keys you press in it from programs that are not
  run as administrator. Buttons and the hat on your wheel or button box still move the deploy point; keys such as
  <kbd>F4</kbd> do not while GPL is in front. Lapforge says so in its main window while such a GPL runs. When
  Lapforge starts GPL marked that way itself, it starts it the way Explorer does, so Windows asks for your consent
  first. <span class="ui">Launch GPL</span> with such a GPL already running may not be allowed to bring it to the
  front; switch to it with <kbd>Alt</kbd>+<kbd>Tab</kbd> or its taskbar button. To use keys, either start GPL without
  administrator rights (clear <span class="ui">Run this program as an administrator</span> on the
  <span class="ui">Compatibility</span> tab of <code>gpl.exe</code>&rsquo;s properties, and start your launcher
  normally), or start Lapforge as administrator too (right-click <code>lapforge.exe</code>,
  <span class="ui">Run as administrator</span>).</dd>

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

<section id="credits">
<h2>Credits</h2>
<p>The maps, views and Lapforge's icon are drawn from the centre line, corner names and heights of the Nordschleife:</p>
<ul>
  <li>Track and corner names: &copy; OpenStreetMap contributors, under the Open Database License 1.0
  (<code>openstreetmap.org/copyright</code>).</li>
  <li>Heights: Terrain Tiles (Mapzen/Tilezen). Europe terrain data produced using Copernicus data and information
  funded by the European Union - EU-DEM layers. SRTM/GMTED2010 terrain data courtesy of the U.S. Geological
  Survey.</li>
</ul>
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
mkdir -p "$OUT"
# --help-page: only the help page, a second's work, for edits of its text.
if [ "${1:-}" == --help-page ]; then
  mapfile -t CORNERS < <(picture_rows | "$PYTHON" "$HERE/track/render.py" corners)
  help_page >"$OUT/LapforgeHelp.html"
  echo "wrote $OUT/LapforgeHelp.html"
  exit 0
fi
rm -f "$OUT"/karte*.jpg "$OUT"/karte*.road "$OUT"/blick*.jpg "$OUT"/lap/blick*.jpg "$OUT"/ansage*.wav \
  "$OUT"/deploy-not-written.wav "$OUT"/LapforgeHelp.html

picture_rows | FONT_DIR=$FONT_DIR nice "$PYTHON" "$HERE/track/render.py" pictures "$OUT"
for i in "${!SECTIONS[@]}"; do
  echo "announcement $i: $(field "$i" 0)"
  announcement "$i"
done
cue
point_cue
mapfile -t CORNERS < <(picture_rows | "$PYTHON" "$HERE/track/render.py" corners)
help_page >"$OUT/LapforgeHelp.html"
echo "wrote $(find "$OUT" -type f | wc -l) files to $OUT"
