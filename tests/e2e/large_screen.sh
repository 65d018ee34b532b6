# Without a window manager the fullscreen request on a 1920x1080 screen goes unanswered: the game
# lays out for the 1280x720 window it really has, and after a resize too.
SCREEN=1920x1080
source "$(dirname "$0")/lib/x_session.sh" 110 "$@"
AT_EXIT='keep_shots "$RUN/../e2e-shots-large"'
# play_at NAME W H: PLAY, where the menu (its backdrop at the left) shows it for a W x H window,
# starts the game with the HUD laid out for that size (the field button's plain spot).
play_at() {
  local s=$(( $3 / 15 ))
  await "$1-menu" "no menu" "is 40 $(( $3 / 2 )) 128,84,26"
  click $(( $2 / 2 )) $(( $3 * 581 / 720 ))
  await "$1" "PLAY does not start the game" "is $(( s / 10 + s * 2 )) $(( s / 10 + s / 6 )) 210,226,244"
}
start_game msaa=0
[ "$WINDOW" = "1280x720+320+180" ] || fail "the window is $WINDOW, not 1280x720 in the middle"
play_at world 1280 720
key Escape
xdotool windowsize --sync "$GAMEWIN" 960 600
window_at
play_at resized 960 600
key Escape
key Escape
end_game
