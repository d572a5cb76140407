#!/usr/bin/env bash
# The built desktop program driven as a person drives it, in a real X server:
# Xvfb with the openbox window manager, keys sent by xdotool. It types a set
# of equations with an error, presses F2, answers the error box with Enter,
# corrects the text, solves again, sees the "Calculations Completed" window,
# checks the program still answers, and saves with Ctrl+S. Screenshots go
# to the output folder. Everything it starts it stops, by pid; a window that
# does not come within its time limit fails the check with its name.
#
#   tools/gui_end_to_end.sh BUILD_DIR OUTPUT_DIR
set -u
build=${1:?build folder}
out=${2:?output folder}
mkdir -p "$out"
for tool in Xvfb openbox xdotool xwd; do
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
  shot "failure"
  exit 1
}

# A display number no other server holds.
display=""
for n in $(seq 47 140); do
  if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=":$n"; break; fi
done
[ -n "$display" ] || { echo "gui_end_to_end: no free display"; exit 1; }
export DISPLAY=$display
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb

# Waits up to $2 seconds for a window whose name matches $1; prints its id.
wait_window() {
  local deadline=$((SECONDS + $2)) id
  while [ $SECONDS -lt "$deadline" ]; do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.2
  done
  return 1
}
gone_window() {
  local deadline=$((SECONDS + $2))
  while [ $SECONDS -lt "$deadline" ]; do
    xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
    sleep 0.2
  done
  return 1
}
shot() {
  xwd -root -silent > "$out/$1.xwd" 2>/dev/null || return 0
  python3 - "$out/$1.xwd" "$out/$1.png" <<'PY' && rm -f "$out/$1.xwd"
import struct, sys, zlib
data = open(sys.argv[1], 'rb').read()
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
rows = []
for y in range(height):
    row = bytearray(b'\0')
    line = pixels[y * stride:(y + 1) * stride]
    for x in range(width):
        p = int.from_bytes(line[step * x:step * x + step], 'little' if little else 'big')
        row += bytes(((p & masks[i]) >> shifts[i]) & 255 for i in range(3))
    rows.append(bytes(row))
def chunk(kind, body):
    return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body))
png = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 2, 0, 0, 0))
png += chunk(b'IDAT', zlib.compress(b''.join(rows))) + chunk(b'IEND', b'')
open(sys.argv[2], 'wb').write(png)
PY
}

start=$SECONDS
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >"$out/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 1 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.2; done
xdotool getdisplaygeometry >/dev/null 2>&1 || { echo "gui_end_to_end: Xvfb did not start on $display"; exit 1; }
openbox >"$out/openbox.log" 2>&1 &
pids+=($!)
sleep 1

work=$(mktemp -d)
doc="$work/e2e.VOQ"
"$build/voq" >"$out/voq.log" 2>&1 &
voq=$!
pids+=($voq)
main=$(wait_window "VOQ Professional" 30) || fail "the main window did not appear within 30 s"
# The splash box closes itself.
sleep 3
xdotool windowactivate --sync "$main" 2>/dev/null
sleep 0.5
shot "1_started"

# Equations with an error; F2; the error box answered with Enter.
# Two lines, with pauses: a key sent while the editor still takes the
# previous ones can be lost on a loaded machine.
type_lines() {
  xdotool type --delay 40 "$1"; sleep 0.4
  xdotool key Return; sleep 0.4
  xdotool type --delay 40 "$2"
}
type_lines "x = 2*y" "y = 3*/2"
sleep 0.5
xdotool key F2
box=$(wait_window "^VOQ$" 15) || fail "no error box within 15 s after F2"
sleep 1
shot "2_error_box"
xdotool key --window "$box" Return
gone_window "^VOQ$" 10 || fail "the error box did not close on Enter"
kill -0 "$voq" 2>/dev/null || fail "voq ended after the error box"

# Corrected text, typed after a click into the Equations window; F2 again.
xdotool windowactivate --sync "$main" 2>/dev/null
xdotool mousemove 200 300 click 1
sleep 0.3
xdotool key ctrl+a
sleep 0.3
type_lines "x = 2*y" "y = 3/2"
sleep 0.5
xdotool key F2
# The progress window's final display, when it is still up, takes Enter.
if done_id=$(wait_window "Calculations Completed" 3); then xdotool key --window "$done_id" Return 2>/dev/null; fi
gone_window "Calculations Completed" 15 || fail "the progress window did not close"
sleep 1
if xdotool search --onlyvisible --name "^VOQ$" >/dev/null 2>&1; then fail "the corrected equations gave a box"; fi
shot "3_solution"

# The program answers: the Equations window comes back with Ctrl+E.
xdotool windowactivate --sync "$main" 2>/dev/null
xdotool key ctrl+e
sleep 0.5
kill -0 "$voq" 2>/dev/null || fail "voq ended after the solve"

# Ctrl+S on the untitled document asks for a name.
xdotool key ctrl+s
dialog=$(wait_window "Save" 15) || fail "no Save dialog within 15 s after Ctrl+S"
sleep 0.5
xdotool type --delay 10 "$doc"
xdotool key Return
sleep 2
# A question about the name (an existing file, an extension) takes Enter.
if box=$(wait_window "^VOQ$" 2); then xdotool key --window "$box" Return; sleep 1; fi
[ -s "$doc" ] || fail "Ctrl+S wrote no document at $doc"
shot "4_saved"
echo "gui_end_to_end: passed in $((SECONDS - start)) s on $display; screenshots in $out"
rm -rf "$work"
exit 0
