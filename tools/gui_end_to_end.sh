#!/usr/bin/env bash
# The built desktop program driven as a person drives it, in a real X server:
# Xvfb with the openbox window manager, keys sent by xdotool. It closes the
# splash box, types a set of equations with an error, presses F2, answers
# the error box with Enter, types the corrected line over the selected error
# (the keyboard must be back in the Equations window), solves again and
# waits for the Solution window, shows the Residuals window with Ctrl+R,
# goes back to the Equations window with Ctrl+E, opens and cancels
# Options > Preferences, replaces a letter everywhere with the Replace
# dialog (F11) and undoes it with Ctrl+Z, saves with Ctrl+S, empties the document
# with Ctrl+N, reopens it with Ctrl+O, and ends the program with Alt+F4,
# which must leave no lock file. The editor's text is read back through the
# clipboard after every step that types. Screenshots go to the output
# folder. Everything it starts it stops, by pid; a window or a text that
# does not come within its time limit fails the check with its name.
#
#   tools/gui_end_to_end.sh BUILD_DIR OUTPUT_DIR
set -u
build=${1:?build folder}
out=${2:?output folder}
mkdir -p "$out"
for tool in Xvfb openbox xdotool xwd xclip xprop xwininfo; do
  command -v "$tool" >/dev/null || { echo "gui_end_to_end: $tool is not installed (make deps)"; exit 1; }
done

pids=()
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
}
trap cleanup EXIT
fail() {
  echo "gui_end_to_end: FAILED: $*"
  echo "visible windows:"
  for w in $(xdotool search --onlyvisible --name "." 2>/dev/null); do echo "  $(xdotool getwindowname "$w" 2>/dev/null)"; done
  shot "failure" "$(xdotool getactivewindow 2>/dev/null)"
  exit 1
}

unset QT_QPA_PLATFORM WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb

# Every step waits for the state it needs (a window up, the window the
# keys go to active, the text the editor holds) instead of sleeping: keys
# sent before the window that must take them is active go elsewhere. Each
# wait polls and gives up at its time limit with the state it waited for.
#
# Waits up to $2 seconds for a visible window whose name matches $1; prints
# its id.
wait_window() {
  local deadline=$((SECONDS + $2)) id
  while [ $SECONDS -lt "$deadline" ]; do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}
# Waits up to $2 seconds for a shown window of the program whose title is
# exactly $1 (Qt names its windows in _NET_WM_NAME, which a search by name
# does not always read); prints its id.
wait_named() {
  local deadline=$((SECONDS + $2)) id
  while [ $SECONDS -lt "$deadline" ]; do
    for id in $(xdotool search --onlyvisible --class voq 2>/dev/null); do
      [ "$(xdotool getwindowname "$id" 2>/dev/null)" = "$1" ] && { echo "$id"; return 0; }
    done
    sleep 0.1
  done
  return 1
}
# Waits up to $2 seconds until the window with id $1 is no longer shown.
gone_window() {
  local deadline=$((SECONDS + $2))
  while [ $SECONDS -lt "$deadline" ]; do
    xwininfo -id "$1" 2>/dev/null | grep -q IsViewable || return 0
    sleep 0.1
  done
  return 1
}
# Waits up to $2 seconds until window $1 is the active window (the one the
# window manager gave the keyboard).
wait_active() {
  local deadline=$((SECONDS + $2))
  while [ $SECONDS -lt "$deadline" ]; do
    [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ] && return 0
    sleep 0.1
  done
  return 1
}
# The active window's id, once the window manager names one.
active_window() { xdotool getactivewindow 2>/dev/null; }
# Waits up to $2 seconds for a new active window (not $1) named like $3 and,
# when $4 is given, of size $4 (WxH); prints its id.
wait_new_active() {
  local deadline=$((SECONDS + $2)) id
  while [ $SECONDS -lt "$deadline" ]; do
    id=$(active_window)
    if [ -n "$id" ] && [ "$id" != "$1" ] && xdotool getwindowname "$id" 2>/dev/null | grep -q "$3" &&
      { [ -z "${4:-}" ] || xdotool getwindowgeometry "$id" 2>/dev/null | grep -q "Geometry: $4\$"; }; then
      echo "$id"
      return 0
    fi
    sleep 0.1
  done
  return 1
}
# The Equations window's text, through Select All and Copy; waits up to 10 s
# for the clipboard to hold $1 and fails with what it holds.
# Select All and Copy are asked again each second: keys that came while
# the program was busy are not lost for the check.
expect_text() {
  local deadline=$((SECONDS + 10)) asked=0 got=""
  printf '' | xclip -selection clipboard 2>/dev/null
  while [ $SECONDS -lt "$deadline" ]; do
    if [ $SECONDS -ge "$asked" ]; then xdotool key ctrl+a ctrl+c; asked=$((SECONDS + 1)); fi
    got=$(xclip -o -selection clipboard 2>/dev/null)
    [ "$got" = "$1" ] && return 0
    sleep 0.1
  done
  fail "$2: the Equations window holds '$got', not '$1'"
}
# Types the lines $1 and $2 with Return between them. xdotool sends the
# keys through the X server's test extension to the focused window, in order.
type_lines() {
  xdotool type --delay 30 "$1"
  xdotool key Return
  xdotool type --delay 30 "$2"
}
# A screenshot of the screen as $out/$1.png. With a window id as $2 that
# window is taken on its own too and laid over the screen (the X server's
# picture of the screen leaves a dialog's inside black), and the shot waits
# up to 5 s until the window is painted; with colour=R,G,B as $2 it waits up
# to 15 s for a pixel of that colour and fails without one.
shot() {
  local deadline=$((SECONDS + 5)) region="" win=""
  if [[ "${2:-}" == colour=* ]]; then
    region=$2
    deadline=$((SECONDS + 15))
  elif [ -n "${2:-}" ]; then
    region=$(xwininfo -id "$2" 2>/dev/null | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF}
      END{print x, y}')
    win="$out/$1.window.xwd"
  fi
  while :; do
    xwd -root -silent > "$out/$1.xwd" 2>/dev/null || return 0
    [ -z "$win" ] || xwd -id "$2" -silent > "$win" 2>/dev/null || win=""
    python3 - "$out/$1.xwd" "$out/$1.png" $region $win <<'PY' && break
import struct, sys, zlib
def decode(path):
    data = open(path, 'rb').read()
    h = struct.unpack('>25I', data[:100])
    size, width, height, bpp, stride, ncolors = h[0], h[4], h[5], h[11], h[12], h[19]
    masks = h[14:17]
    pixels = data[size + 12 * ncolors:]
    little = h[7] == 0
    def shift(m):
        s = 0
        while m and not m & 1:
            m >>= 1; s += 1
        return s
    shifts = [shift(m) for m in masks]
    step = max(1, bpp // 8)
    fast = bpp == 32 and little and list(masks) == [0xff0000, 0xff00, 0xff]
    rows = []
    for y in range(height):
        line = pixels[y * stride:(y + 1) * stride]
        row = bytearray(3 * width)
        if fast:
            # 32-bit little-endian pixels are blue, green, red, pad in memory.
            row[0::3] = line[2:4 * width:4]
            row[1::3] = line[1:4 * width:4]
            row[2::3] = line[0:4 * width:4]
        else:
            for x in range(width):
                p = int.from_bytes(line[step * x:step * x + step], 'little' if little else 'big')
                row[3 * x:3 * x + 3] = bytes(((p & masks[i]) >> shifts[i]) & 255 for i in range(3))
        rows.append(row)
    return width, height, rows
width, height, rows = decode(sys.argv[1])
status = 0
if len(sys.argv) == 6:
    # The window laid over the screen at its place; not painted yet while
    # it is black inside.
    x0, y0 = int(sys.argv[3]), int(sys.argv[4])
    w, h, win = decode(sys.argv[5])
    lit = 0
    for yy in range(h):
        if 0 <= y0 + yy < height and x0 < width:
            left = max(0, -x0)
            right = min(w, width - x0)
            rows[y0 + yy][3 * (x0 + left):3 * (x0 + right)] = win[yy][3 * left:3 * right]
        if yy % 4 == 0:
            lit += sum(1 for xx in range(0, w, 4) if any(win[yy][3 * xx:3 * xx + 3]))
    status = 0 if lit * 16 > w * h // 2 else 3
elif len(sys.argv) == 4 and sys.argv[3].startswith('colour='):
    # A colour the picture must hold.
    want = bytes(int(v) for v in sys.argv[3][7:].split(','))
    def holds(r):
        at = r.find(want)
        while at != -1:
            if at % 3 == 0:
                return True
            at = r.find(want, at + 1)
        return False
    status = 0 if any(holds(r) for r in rows) else 3
def chunk(kind, body):
    return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body))
png = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 2, 0, 0, 0))
png += chunk(b'IDAT', zlib.compress(b''.join(b'\0' + bytes(r) for r in rows), 1)) + chunk(b'IEND', b'')
open(sys.argv[2], 'wb').write(png)
sys.exit(status)
PY
    if [ $SECONDS -ge "$deadline" ]; then
      rm -f "$out/$1.xwd" "$out/$1.window.xwd"
      [[ "$region" != colour=* ]] || return 1
      return 0
    fi
    sleep 0.2
  done
  rm -f "$out/$1.xwd" "$out/$1.window.xwd"
}

start=$SECONDS
# Xvfb picks a display no other server holds and writes its number once it
# takes connections.
displayfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$displayfile" >"$out/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 1 100); do [ -s "$displayfile" ] && break; sleep 0.1; done
display=":$(tr -dc 0-9 <"$displayfile")"
rm -f "$displayfile"
[ "$display" != ":" ] || { echo "gui_end_to_end: Xvfb did not start within 10 s"; exit 1; }
export DISPLAY=$display
xdotool getdisplaygeometry >/dev/null 2>&1 || { echo "gui_end_to_end: Xvfb on $display does not answer"; exit 1; }
openbox >"$out/openbox.log" 2>&1 &
pids+=($!)
# The window manager is up once it names its check window on the root.
for _ in $(seq 1 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break; sleep 0.1; done
xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" || fail "openbox did not start within 10 s"

work=$(mktemp -d)
doc="$work/e2e.VOQ"
# A lock file left by a copy that was killed is not this run's to judge.
stale_lock=0
[ -e "$build/VOQApp.lock" ] && stale_lock=1
"$build/voq" >"$out/voq.log" 2>&1 &
voq=$!
pids+=($voq)
main=$(wait_window "VOQ Professional" 30) || fail "the main window did not appear within 30 s"
# The splash box (470x213, named like the message boxes) waits for a key
# once the libraries are loaded; Esc closes it at any time.
splash=$(wait_new_active "$main" 30 "^VOQ$" 470x213) || fail "the splash box did not take the keyboard within 30 s"
xdotool key Escape
gone_window "$splash" 10 || fail "the splash box did not close on Esc"
wait_active "$main" 10 || fail "the main window did not take the keyboard after the splash box"
shot "1_started"

# Equations with an error, typed straight into the Equations window, which
# has the keyboard from the start; F2; the error box answered with Enter.
type_lines "x = 2*y" "y = 3*/2"
expect_text $'x = 2*y\ny = 3*/2' "typing at start-up"
xdotool key F2
box=$(wait_new_active "$main" 15 "^VOQ$") || fail "no error box took the keyboard within 15 s after F2"
shot "2_error_box" "$box"
# The box asks the window manager for a close button only and has a fixed
# size: no maximise action. (openbox gives every dialog its iconify button
# whatever the window asks.)
actions=$(xprop -id "$box" _NET_WM_ALLOWED_ACTIONS 2>/dev/null)
echo "$actions" > "$out/2_error_box.actions"
[[ "$actions" == *_NET_WM_ACTION_CLOSE* ]] || fail "the error box cannot be closed by the window manager: $actions"
[[ "$actions" != *_NET_WM_ACTION_MAXIMIZE* ]] || fail "the error box can be maximised: $actions"
xdotool key Return
gone_window "$box" 10 || fail "the error box did not close on Enter"
wait_active "$main" 10 || fail "the main window did not take the keyboard back after the error box"
kill -0 "$voq" 2>/dev/null || fail "voq ended after the error box"

# The error selected the wrong line and the keyboard is back in the
# Equations window: the corrected line, typed without a click, replaces it.
xdotool type --delay 30 "y = 3/2"
expect_text $'x = 2*y\ny = 3/2' "typing after the error box (the keyboard is not back in the Equations window, or the line is not selected)"
xdotool key F2
# A solve this small ends before its progress window is due; keys sent
# while it runs are the calculation's (only Esc counts). The Solution window
# shows the values and, in green, the calculation time: once that green is
# on the screen the solve is over.
shot "3_solution" colour=0,128,0 || fail "no Solution window (its green calculation time) within 15 s after F2"
box=$(active_window)
[ "$box" = "$main" ] || fail "the corrected equations gave a box: $(xdotool getwindowname "$box" 2>/dev/null)"
kill -0 "$voq" 2>/dev/null || fail "voq ended after the solve"

# Ctrl+R shows the Residuals window: the solution's equations with their
# residuals under the blue totals line.
xdotool key ctrl+r
shot "4_residuals" colour=0,0,255 || fail "no Residuals window (its blue totals line) within 15 s after Ctrl+R"
box=$(active_window)
[ "$box" = "$main" ] || fail "Ctrl+R gave a box: $(xdotool getwindowname "$box" 2>/dev/null)"

# The Equations window comes back with Ctrl+E and holds the text.
xdotool key ctrl+e
expect_text $'x = 2*y\ny = 3/2' "the Equations window after Ctrl+E"

# Options > Preferences opens its dialog of seven pages; Esc cancels it and
# gives the keyboard back to the main window.
xdotool key alt+o
xdotool key p
dialog=$(wait_new_active "$main" 15 "Preferences") || fail "no Preferences dialog took the keyboard within 15 s after Alt+O P"
shot "4_preferences" "$dialog"
xdotool key Escape
gone_window "$dialog" 10 || fail "the Preferences dialog did not close on Esc"
wait_active "$main" 10 || fail "the main window did not take the keyboard back after the Preferences dialog"

# F11 opens the Replace dialog with the keyboard in its find text; Replace
# All (Alt+A) changes every "y", Esc closes the dialog, and one Ctrl+Z in
# the Equations window takes the whole replacement back.
xdotool key F11
dialog=$(wait_new_active "$main" 15 "^Replace$") || fail "no Replace dialog took the keyboard within 15 s after F11"
xdotool type --delay 30 "y"
xdotool key Tab
xdotool type --delay 30 "z"
xdotool key alt+a
shot "4_replace" "$dialog"
xdotool key Escape
gone_window "$dialog" 10 || fail "the Replace dialog did not close on Esc"
wait_active "$main" 10 || fail "the main window did not take the keyboard back after the Replace dialog"
expect_text $'x = 2*z\nz = 3/2' "Replace All of y by z"
xdotool key ctrl+z
expect_text $'x = 2*y\ny = 3/2' "Ctrl+Z after Replace All"

# Ctrl+S on the untitled document asks for a name.
xdotool key ctrl+s
dialog=$(wait_new_active "$main" 15 "Save") || fail "no Save dialog took the keyboard within 15 s after Ctrl+S"
xdotool type --delay 10 "$doc"
xdotool key Return
gone_window "$dialog" 10 || fail "the Save dialog did not close on Enter"
# A question about the name (an existing file, an extension) takes Enter.
if box=$(wait_new_active "$main" 2 "^VOQ$"); then xdotool key Return; gone_window "$box" 10; fi
for _ in $(seq 1 50); do [ -s "$doc" ] && break; sleep 0.1; done
[ -s "$doc" ] || fail "Ctrl+S wrote no document at $doc"
wait_active "$main" 10 || fail "the main window did not take the keyboard back after saving"
shot "5_saved"

# Ctrl+N empties the Equations window; Ctrl+O reads the saved document back.
xdotool key ctrl+n
expect_text "" "the Equations window after Ctrl+N"
xdotool key ctrl+o
dialog=$(wait_new_active "$main" 15 "Open") || fail "no Open dialog took the keyboard within 15 s after Ctrl+O"
xdotool type --delay 10 "$doc"
xdotool key Return
gone_window "$dialog" 10 || fail "the Open dialog did not close on Enter"
wait_active "$main" 10 || fail "the main window did not take the keyboard back after opening"
expect_text $'x = 2*y\ny = 3/2' "the reopened document"
xdotool getwindowname "$main" | grep -q "e2e.VOQ" || fail "the caption does not name the reopened document"
shot "6_reopened"

# Alt+F4 asks the window to close: the unchanged document asks nothing, the
# program ends and takes its lock file with it.
xdotool key alt+F4
for _ in $(seq 1 100); do kill -0 "$voq" 2>/dev/null || break; sleep 0.1; done
kill -0 "$voq" 2>/dev/null && fail "voq did not end within 10 s after Alt+F4"
wait "$voq"
status=$?
[ "$status" -eq 0 ] || fail "voq ended with status $status after Alt+F4"
[ "$stale_lock" = 1 ] || [ ! -e "$build/VOQApp.lock" ] || fail "voq left its lock file $build/VOQApp.lock"
echo "gui_end_to_end: passed in $((SECONDS - start)) s on $display; screenshots in $out"
rm -rf "$work"
exit 0
