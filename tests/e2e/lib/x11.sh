# Shared by the scripts that play the game on a real X server (sourced after
# e2e.sh, inside xvfb-run): screenshots, pixel colours, pointer and keys.
SHOTS="$WORK/shots"
mkdir -p "$SHOTS"
LAST_SHOT="$SHOTS/last.png"
SHOTNR=1

# Shots and pointer positions are in the game window's pixels, wherever the
# window lies on the screen (WINDOW is its geometry, WxH+X+Y, once it is open).
WINDOW=""
shot() {  # shot [NAME]: the game window (or the screen) into last.png, kept when named
  xwd -root -silent | convert xwd:- ${WINDOW:+-crop "$WINDOW" +repage} "$LAST_SHOT"
  if [ -n "${1:-}" ]; then keep "$1"; fi
}

# window_geometry: the game window's real size and place, as the X server has it.
window_geometry() {
  xwininfo -id "$GAMEWIN" | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
    /Width:/ { w = $NF } /Height:/ { h = $NF } END { print w "x" h "+" x "+" y }'
}

keep() {  # keep NAME: the last shot kept as NN-NAME.png, numbered in order
  cp "$LAST_SHOT" "$SHOTS/$(printf %02d "$SHOTNR")-$1.png"
  SHOTNR=$(( SHOTNR + 1 ))
}

# rgb FILE X Y [SIDE]: "r,g,b" of the pixel, or the mean of the SIDE x SIDE square around it.
rgb() {
  local side=${4:-1} h
  h=$(( side / 2 ))
  convert "$1" -crop "${side}x${side}+$(( $2 - h ))+$(( $3 - h ))" +repage -scale 1x1\! \
    -format '%[fx:int(255*r+0.5)],%[fx:int(255*g+0.5)],%[fx:int(255*b+0.5)]' info:
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

# await NAME WHAT CHECK...: shoots until every CHECK ("is X Y C" or "isnt X Y C",
# joined by ';') holds, for at most 10 s; keeps the shot as NAME, fails with WHAT.
await() {
  local name=$1 what=$2 check=$3 t
  for t in $(seq 1 40); do
    shot
    if eval "$check"; then
      keep "$name"
      return 0
    fi
    sleep 0.25
  done
  keep "$name"
  fail "$what (see the shot $name)"
}

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
  fail "the camera does not come to rest (see last.png)"
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
  sleep 0.3
}
key() {
  xdotool key "$1"
  sleep 0.3
}

# start_game ARGS...: runs the game in the background and waits for its window.
start_game() {
  "$BIN" "$@" >stdout.txt 2>stderr.txt &
  GAME=$!
  GAMEWIN=$(timeout 30 xdotool search --sync --name '^Tavorek, Ombrelith$' | head -n1) || true
  [ -n "$GAMEWIN" ] || { kill -9 "$GAME"; fail "no game window"; }
  xdotool windowfocus --sync "$GAMEWIN"
  WINDOW=$(window_geometry)
}

# end_game: waits (at most 30 s) for the game to quit and checks status 0.
end_game() {
  local rc=0
  timeout -k 5 30 tail --pid="$GAME" -f /dev/null || { kill -9 "$GAME"; fail "the game did not quit"; }
  wait "$GAME" || rc=$?
  GAME=""
  [ "$rc" -eq 0 ] || fail "the game ended with status $rc"
}

# keep_shots DIR: copies the screenshots where the developer can look at them.
keep_shots() {
  rm -rf "$1"
  mkdir -p "$1"
  cp "$SHOTS"/[0-9]*.png "$1"/ 2>/dev/null || true
}
