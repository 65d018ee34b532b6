# Shared by the scripts that play the game on a real X server (sourced after
# e2e.sh, inside xvfb-run): screenshots, pixel colours, pointer and keys.
# Checks poll the screen up to WAIT s; shots, pointer are in the game WINDOW's pixels (WxH+X+Y).
SHOTS="$WORK/shots"
mkdir -p "$SHOTS"
LAST_SHOT="$SHOTS/last.xwd"
SHOTNR=1
WAIT=90 WINDOW=0x0+0+0

shot() {  # shot [NAME]: the screen into last.xwd, a raw dump quick to read; kept when named
  xwd -root -silent >"$LAST_SHOT"
  if [ -n "${1:-}" ]; then keep "$1"; fi
}

keep() {  # keep NAME: the last shot kept as NN-NAME.png, numbered in order
  local kept=$SHOTS/$(printf %02d "$SHOTNR")-$1
  cp "$LAST_SHOT" "$kept.xwd"
  { convert "xwd:$kept.xwd" -crop "$WINDOW" +repage "$kept.png" && rm "$kept.xwd"; } &
  SHOTNR=$(( SHOTNR + 1 ))
}

# rgb FILE X Y [SIDE]: "r,g,b" of the pixel, or the mean of the SIDE x SIDE square around it.
rgb() {
  local at=${WINDOW#*+}
  /usr/bin/python3 "${BASH_SOURCE[0]%/*}/pixel.py" "$1" $(( $2 + ${at%+*} )) $(( $3 + ${at#*+} )) "${4:-1}"
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

# poll CHECK: shoots until CHECK ("is X Y C; isnt X Y C") holds; false after WAIT seconds.
poll() {
  local end=$(( SECONDS + WAIT ))
  until shot && eval "$1"; do
    [ "$SECONDS" -lt "$end" ] || return 1
    sleep 0.1
  done
}
# await NAME WHAT CHECK: polls until CHECK holds; keeps the shot as NAME, fails with WHAT.
await() { poll "$3" || { keep "$1"; fail "$2 (see the shot $1)"; }; keep "$1"; }

# settle NAME: shoots until the horizon (around 650, 80) has stood still for three
# shots in a row, for at most 10 s, so that the orbiting camera has come to rest;
# keeps the shot as NAME.
settle() {
  local was now t still=0
  shot
  was=$(rgb "$LAST_SHOT" 650 80 40)
  for t in $(seq 1 40); do
    sleep 0.25
    shot
    now=$(rgb "$LAST_SHOT" 650 80 40)
    if [ "$now" = "$was" ]; then still=$(( still + 1 )); else still=0; fi
    if [ "$still" -ge 2 ]; then
      keep "$1"
      return 0
    fi
    was=$now
  done
  fail "the camera does not come to rest (see last.xwd)"
}

# The game reads a click at the cell it picked under the pointer in the last
# frame, so the pointer rests there for a few frames before the button goes down.
point() {
  xdotool mousemove --window "$GAMEWIN" "$(( $1 - 1 ))" "$2"
  sleep 0.3
  xdotool mousemove --window "$GAMEWIN" "$1" "$2"
  sleep 0.3
}
click() {  # a view (button, slider, menu) takes the place from the press itself
  xdotool mousemove --window "$GAMEWIN" "$1" "$2" click 1
}
key() {
  xdotool key "$1"
}

# start_game ARGS...: runs the game in the background and waits for its window.
start_game() {
  "$BIN" "$@" >stdout.txt 2>stderr.txt &
  GAME=$!
  GAMEWIN=$(timeout "$WAIT" xdotool search --sync --name '^Tavorek, Ombrelith$' | head -n1) || true
  [ -n "$GAMEWIN" ] || fail "no game window"
  xdotool windowfocus --sync "$GAMEWIN"
  window_at
}
window_at() { eval "$(xdotool getwindowgeometry --shell "$GAMEWIN")"; WINDOW=${WIDTH}x$HEIGHT+$X+$Y; }

# end_game: waits (at most 30 s) for the game to quit and checks status 0.
end_game() {
  local rc=0
  timeout -k 5 30 tail --pid="$GAME" -f /dev/null || fail "the game did not quit"
  wait "$GAME" || rc=$?
  [ "$rc" -eq 0 ] || fail "the game ended with status $rc"
}

# keep_shots DIR: copies the screenshots where the developer can look at them.
keep_shots() {
  wait
  rm -rf "$1"
  mkdir -p "$1"
  cp "$SHOTS"/[0-9]*.png "$1"/ 2>/dev/null || true
}
