# Shared by the scripts that play the game on a real X server (sourced after
# e2e.sh, inside xvfb-run): screenshots, pixel colours, pointer and keys.
# Nothing waits a fixed time for what the screen can show: checks shoot until
# they hold, for up to WAIT seconds, so a loaded machine only makes them slower.
SHOTS="$WORK/shots"
mkdir -p "$SHOTS"
LAST_SHOT="$SHOTS/last.xwd"
SHOTNR=1
WAIT=90
PIXEL="$(dirname "${BASH_SOURCE[0]}")/pixel.py"
# The system's Python where there is one: a version manager's shim first in
# PATH can take longer to start than the whole read.
PYTHON=$(command -v /usr/bin/python3 || command -v python3)

# Shots and pointer positions are in the game window's pixels, wherever the
# window lies on the screen (WINDOW is its geometry, WxH+X+Y, once it is open).
WINDOW=""
shot() {  # shot [NAME]: the screen into last.xwd, a raw dump quick to take and read; kept when named
  xwd -root -silent >"$LAST_SHOT"
  if [ -n "${1:-}" ]; then keep "$1"; fi
}

# window_geometry: the game window's real size and place, as the X server has it.
window_geometry() {
  xwininfo -id "$GAMEWIN" | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
    /Width:/ { w = $NF } /Height:/ { h = $NF } END { print w "x" h "+" x "+" y }'
}

# keep NAME: the last shot kept as NN-NAME.png, numbered in order and cut to
# the game window; converted beside the play, keep_shots waits for it.
keep() {
  local kept
  kept="$SHOTS/$(printf %02d "$SHOTNR")-$1"
  SHOTNR=$(( SHOTNR + 1 ))
  cp "$LAST_SHOT" "$kept.xwd"
  { convert "xwd:$kept.xwd" ${WINDOW:+-crop "$WINDOW" +repage} "$kept.png"; rm -f "$kept.xwd"; } &
}

# rgb FILE X Y [SIDE]: "r,g,b" of the window's pixel in the dump FILE, or the
# mean of the SIDE x SIDE square around it.
rgb() {
  local at=${WINDOW#*+}
  [ -n "$WINDOW" ] || at=0+0
  "$PYTHON" "$PIXEL" "$1" $(( $2 + ${at%+*} )) $(( $3 + ${at#*+} )) "${4:-1}"
}

# distance "r,g,b" "r,g,b": the largest difference of one channel.
distance() {
  local a b
  IFS=, read -r -a a <<<"$1"
  IFS=, read -r -a b <<<"$2"
  local d=0 i x
  for i in 0 1 2; do
    x=$(( a[i] - b[i] ))
    x=${x#-}
    [ "$x" -gt "$d" ] && d=$x
  done
  echo "$d"
}

# is X Y COLOUR / isnt X Y COLOUR: the pixel of the last shot is (not) within 12 of COLOUR.
is() { [ "$(distance "$(rgb "$LAST_SHOT" "$1" "$2")" "$3")" -le 12 ]; }
isnt() { ! is "$@"; }

# poll CHECK: shoots until CHECK (shell code over the last shot, such as
# "is X Y C; isnt X Y C") holds; false when it still fails after WAIT seconds.
poll() {
  local end=$(( SECONDS + WAIT ))
  for (( ; ; )); do
    shot
    if eval "$1"; then return 0; fi
    [ "$SECONDS" -lt "$end" ] || return 1
    sleep 0.1
  done
}

# await NAME WHAT CHECK: polls until CHECK holds; keeps the shot as NAME, fails with WHAT.
await() {
  local ok=0
  poll "$3" || ok=1
  keep "$1"
  [ "$ok" = 0 ] || fail "$2 (see the shot $1)"
}

# settle NAME: shoots until the horizon (around 650, 80) has stood still for a
# second and three shots, so that the orbiting camera has come to rest; keeps
# the shot as NAME.
HORIZON=""  # colour/milliseconds since it first showed/shots since
still_horizon() {
  local now was since shots ms=$(( ${EPOCHREALTIME/./} / 1000 ))
  now=$(rgb "$LAST_SHOT" 650 80 40)
  IFS=/ read -r was since shots <<<"$HORIZON"
  if [ "$now" != "${was:-}" ]; then
    HORIZON="$now/$ms/1"
    return 1
  fi
  HORIZON="$now/$since/$(( shots + 1 ))"
  [ $(( ms - since )) -ge 1000 ] && [ "$shots" -ge 2 ]
}
settle() {
  HORIZON=""
  await "$1" "the camera does not come to rest" still_horizon
}

# The game reads a click at the cell it picked under the pointer in the last
# frame, so the pointer rests there for a few frames before the button goes down.
point() {
  xdotool mousemove --window "$GAMEWIN" "$(( $1 - 1 ))" "$2"
  sleep 0.3
  xdotool mousemove --window "$GAMEWIN" "$1" "$2"
  sleep 0.3
}
click() {
  point "$1" "$2"
  xdotool click 1
}
# press X Y: a click on a view (a button, a slider, the menu): the views take
# the position from the press itself, no frame has to pass first.
press() {
  xdotool mousemove --window "$GAMEWIN" "$1" "$2" click 1
}
# aim X Y: in a build mode, points at a spot of the world and waits until the
# build cursor has come there (the spot no longer looks as in the last shot):
# the game has then picked that cell, and a click places there.
aim() {
  local was
  was=$(rgb "$LAST_SHOT" "$1" "$2" 9)
  xdotool mousemove --window "$GAMEWIN" "$1" "$2"
  poll "[ \"\$(distance \"\$(rgb \"\$LAST_SHOT\" $1 $2 9)\" $was)\" -gt 24 ]" ||
    fail "no build cursor at $1,$2"
}
key() {
  xdotool key "$1"
}

# start_game ARGS...: runs the game in the background and waits for its window.
start_game() {
  "$BIN" "$@" >stdout.txt 2>stderr.txt &
  GAME=$!
  GAMEWIN=$(timeout "$WAIT" xdotool search --sync --name '^Tavorek, Ombrelith$' | head -n1) || true
  [ -n "$GAMEWIN" ] || { kill -9 "$GAME"; fail "no game window"; }
  xdotool windowfocus --sync "$GAMEWIN"
  WINDOW=$(window_geometry)
}

# end_game: waits for the game to quit and checks status 0.
end_game() {
  local rc=0
  timeout -k 5 "$WAIT" tail --pid="$GAME" -f /dev/null || { kill -9 "$GAME"; fail "the game did not quit"; }
  wait "$GAME" || rc=$?
  GAME=""
  [ "$rc" -eq 0 ] || fail "the game ended with status $rc"
}

# keep_shots DIR: copies the screenshots where the developer can look at them.
keep_shots() {
  wait
  rm -rf "$1"
  mkdir -p "$1"
  cp "$SHOTS"/[0-9]*.png "$1"/ 2>/dev/null || true
}
