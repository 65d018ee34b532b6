# The window shrunk under the pointer (down to one pixel), grown back, hidden
# and shown again while the world runs: the game keeps drawing and quits
# cleanly. The pick reads the depth under the pointer every frame, which must
# never reach outside the drawable.
source "$(dirname "$0")/lib/x_session.sh" 110 "$@"
AT_EXIT='keep_shots "$RUN/../e2e-shots-shrink"'

MENU=128,84,26  # the menu's backdrop
LIT=210,226,244 # a build button at the full size's layout
IN_MENU="is 300 620 $MENU; is 1200 400 $MENU"
# The world at 1280x720: no menu, the field button where that layout puts it.
IN_WORLD="isnt 300 620 $MENU; is 104 12 $LIT"

alive() { kill -0 "$GAME" 2>/dev/null || fail "the game died $1"; }

# resize W H: resizes the window and waits until the game has logged the new size.
resize() {
  local was t
  was=$(grep -c '^content scale factor' stdout.txt || true)
  xdotool windowsize "$GAMEWIN" "$1" "$2"
  for t in $(seq 1 40); do
    alive "at ${1}x$2"
    [ "$(grep -c '^content scale factor' stdout.txt || true)" -gt "$was" ] && return 0
    sleep 0.25
  done
  fail "the game did not take the size ${1}x$2"
}

start_game msaa=0
await menu "the game does not open on its menu" "$IN_MENU"
click 640 581
await world "PLAY does not show the world" "$IN_WORLD"

# The pointer rests low in the window; every size below leaves it outside.
point 50 500
resize 1280 100
# Drawn at the new size: the build buttons shrink away from where they were.
await shrunk "the game does not draw at 1280x100" "alive shrunk; isnt 104 12 $LIT"
for size in "1 1" "100 100" "300 100"; do
  read -r w h <<<"$size"
  resize "$w" "$h"
done
resize 1280 720
await restored "the game does not draw again at 1280x720" "$IN_WORLD"

# Minimised (without a window manager: unmapped, as one would) and back.
xdotool windowunmap --sync "$GAMEWIN"
alive "while hidden"
shot hidden
xdotool windowmap --sync "$GAMEWIN"
alive "when shown again"
xdotool windowfocus --sync "$GAMEWIN"
await shown "the game does not draw again after being hidden" "$IN_WORLD"

key Escape
await paused "Escape does not pause to the menu" "$IN_MENU"
key Escape
end_game
! grep -q '^ERR ' stdout.txt || fail "errors in the log: $(grep '^ERR ' stdout.txt | head -3)"
echo "shrink: ok"
