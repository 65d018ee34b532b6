# A screen larger than the window, without a window manager: the fullscreen
# request goes unanswered and the window keeps 1280x720 in the middle of the
# screen. The game draws for the window it really has, a click on PLAY where
# the player sees it starts the game, and so on after the window changes size.
SCREEN=1920x1080
source "$(dirname "$0")/lib/x_session.sh" 110 "$@"
trap '[ -z "$GAME" ] || kill -9 "$GAME" 2>/dev/null; keep_shots "$RUN/../e2e-shots-large"; rm -rf "$WORK"' EXIT

MENU=128,84,26 # the menu's backdrop
SKY=110,153,200 # the banner's sky, an eighth of the height down
LIT=210,226,244 # the field button, top left in the world's HUD

# menu_at NAME: the menu laid out for the window's size: the backdrop at the
# left edge, the banner's sky at the top (a menu laid out for a larger window
# shows the banner's foot there).
menu_at() {
  local w=${WINDOW%%x*} h=${WINDOW#*x}
  h=${h%%+*}
  await "$1" "the menu is not laid out for ${w}x$h" \
    "is 40 $(( h / 2 )) $MENU; is $(( w / 2 )) $(( h / 8 )) $SKY"
}

# play_at NAME: PLAY, where the menu puts it for the window's height, shows the
# world with its HUD laid out for that size (the field button's plain spot).
play_at() {
  local h=${WINDOW#*x} s
  h=${h%%+*}
  s=$(( h / 15 ))
  click $(( ${WINDOW%%x*} / 2 )) $(( h * 581 / 720 ))
  await "$1" "PLAY does not show the world" \
    "isnt 40 $(( h / 2 )) $MENU; is $(( s / 10 + s * 2 )) $(( s / 10 + s / 6 )) $LIT"
}

start_game msaa=0
# The window X really has, and the size the game logs and lays out for.
[ "$WINDOW" = "1280x720+320+180" ] || fail "the window is $WINDOW, not 1280x720 in the middle"
has stdout.txt "drawable size: 1280x720"
has stdout.txt "ctrl_create( 1280, 720, 1.000000 )"
menu_at menu
WINDOW="" shot screen
play_at world

# Alt+Return: SDL takes each switch as done and reports sizes the window never
# takes; the game stays with the window.
key alt+Return
key alt+Return
key Escape
menu_at toggled
lacks stdout.txt "width=1920"

# A new size (here by hand, as a window manager would): followed too.
xdotool windowsize --sync "$GAMEWIN" 960 600
WINDOW=$(window_geometry)
[ "$WINDOW" = "960x600+320+180" ] || fail "the window did not take 960x600: $WINDOW"
menu_at resized
play_at resized-world
key Escape
await paused "Escape does not pause to the menu" "is 300 300 $MENU"
key Escape
end_game
! grep -q '^ERR ' stdout.txt || fail "errors in the log: $(grep '^ERR ' stdout.txt | head -3)"
echo "large_screen: ok"
