# Plays the real game on an X server with real pointer and key input: from an
# empty user folder it builds a farm field (quitting to read the silver from
# the saved game), a bakery and a hut, meets refusals, hires workers,
# marks an area, walks the back chain to the end, and checks that the next
# start loads what was built. Screenshots land in build/e2e-shots.
source "$(dirname "$0")/lib/x_session.sh" 240 "$@"
# A failed check too leaves the shots where the developer looks.
AT_EXIT='keep_shots "$RUN/../e2e-shots"'
SAVE="$USERDIR/game.txtsav"
BINSAVE="$USERDIR/game.binsav"

# Colours of the screens, sampled at points no HUD view covers.
MENU=128,84,26          # the menu's backdrop
HIRE=51,51,76           # the hire panel's backdrop
INFO=239,227,199        # the info screen
PANE=46,35,26           # the toast's pane
LIT=210,226,244         # a build button that is not dimmed
DIM=106,114,123         # a build button dimmed while another mode is on
# The screen layout at 1280x720: the views are 48 high, 120 wide, 4 apart.
BUTTON_Y=28 LIT_Y=12
button_x() { echo $(( 64 + ($1 - 10) * 124 )); }  # centre of build button 10..14
lit_x() { echo $(( 104 + ($1 - 10) * 124 )); }    # a plain spot on it
LABOR_X=1216 GO_X=1224 GO_Y=664 PLAY_X=640 PLAY_Y=581
slider_y() { echo $(( 208 + $1 * 96 )); }         # centre of the hire slider of trade 0..3
# A hire slider maps x to (2x - 0.65) * 100 workers: 515 gives 10, 489 gives 5.
HIRE_X=(515 489 489 489) HIRED=(10 5 5 5)
IN_MENU="is 300 620 $MENU; is 1200 400 $MENU"
IN_WORLD="isnt 300 620 $MENU; isnt 300 620 $HIRE; isnt 300 620 $PANE"
IN_HIRE="is 300 620 $HIRE; is 1000 600 $HIRE"
lit() { echo "is $(lit_x "$1") $LIT_Y $LIT"; }
dim() { echo "is $(lit_x "$1") $LIT_Y $DIM"; }
NO_MODE="$(lit 10); $(lit 11); $(lit 14)"
TOAST="is 300 620 $PANE; is 640 690 $PANE"

# mode NAME WHAT NR: press build button NR and see it lit with the others dimmed.
mode() {
  local other=10
  [ "$3" -eq 10 ] && other=11
  click "$(button_x "$3")" $BUTTON_Y
  await "$1" "$2" "$(lit "$3"); $(dim $other)"
}

# aim X Y: in a build mode, points at a spot of the world and waits for the
# build cursor there (the spot changed); false when it shows the site refused (red).
aim() {
  local was r g b
  was=$(rgb "$LAST_SHOT" "$1" "$2" 9)
  xdotool mousemove --window "$GAMEWIN" "$1" "$2"
  poll "[ \"\$(distance \"\$(rgb \"\$LAST_SHOT\" $1 $2 9)\" $was)\" -gt 24 ]" || fail "no build cursor at $1,$2"
  IFS=, read -r r g b <<<"$(rgb "$LAST_SHOT" "$1" "$2" 9)"
  [ $(( r - g )) -le 60 ]
}
# place NAME WHAT X,Y...: clicks the first candidate site not refused, and sees
# the building stand (the build mode ends); the site taken is left in PLACED.
place() {
  local name=$1 what=$2 site
  shift 2
  for site in "$@"; do
    aim "${site%,*}" "${site#*,}" || continue
    xdotool click 1
    await "$name" "the $what was not placed at $site" "$NO_MODE"
    PLACED=$site
    return 0
  done
  fail "no candidate site took the $what"
}

# saved KEY: the value on the saved text file's line "KEY value".
saved() { awk -v k="$1" '$1 == k { print $2 }' "$SAVE"; }

# quit NAME: Escape pauses the world to the menu, Escape on the menu ends the game.
quit() {
  key Escape
  await "$1" "Escape does not pause to the menu" "$IN_MENU"
  key Escape
  end_game
  cat stdout.txt >>all.txt
}

# holds SILVER FARMS,BAKERIES,HUTS: what the saved game says.
holds() {
  [ "$(saved taxc_silver)" = "$1" ] || fail "saved silver $(saved taxc_silver), expected $1"
  local have
  have="$(saved farms_count),$(saved bakeries_count),$(saved huts_count)"
  [ "$have" = "$2" ] || fail "saved farm fields, bakeries, huts: $have, expected $2"
}

# play NAME: starts the game, sees its menu, and plays until the camera rests.
play() {
  start_game msaa=0
  await "$1-menu" "the game does not open on its menu" "$IN_MENU"
  click $PLAY_X $PLAY_Y
  await "$1-world" "PLAY does not show the world" "$IN_WORLD; $NO_MODE; is 100 400 $INFO"
  settle "$1-settled"
}

# ---- From an empty user folder: a farm field for 20 silver ----
[ -z "$(ls -A "$XDG_DATA_HOME")" ] || fail "the user folder is not empty"
play start
click 140 300
await info-closed "the info screen does not close" "$IN_WORLD; isnt 100 400 $INFO"
cp "$LAST_SHOT" bare.xwd
mode farm-mode "the field button does not start farm-field mode" 10
place farm "farm field" 808,296 1000,260 600,220
farm=$PLACED
quit farm-saved
# Nothing was there to load: one report of the marks, the save's.
[ "$(grep -c '^serialized' stdout.txt)" = 1 ] || fail "the first start loaded or saved more than once"
has stdout.txt "onStart()"
[ "$(saved version)" = 103 ] || fail "saved version $(saved version)"
holds 180 1,0,0

# ---- A bakery for 100, a hut for 32 ----
play bakery
mode bakery-mode "the baker button does not start bakery mode" 11
place bakery "bakery" 900,360 1060,330 560,300
bakery=$PLACED
mode hut-mode "the house button does not start hut mode" 12
place hut "hut" 700,250 880,220 520,250
hut=$PLACED
sites=("$farm" "$bakery" "$hut")

# A site on the pyramid's base marks is refused: the mode stays, back leaves it.
mode refused-site-mode "farm-field mode does not start again" 10
! aim 330 300 || fail "the cursor does not show the base marks refused"
xdotool click 1
key Escape
await back-from-mode "Escape does not leave build mode" "$IN_WORLD; $NO_MODE"
# How the three buildings look while the pointer is away from them (no tooltip).
built=()
for s in "${sites[@]}"; do built+=("$(rgb "$LAST_SHOT" "${s%,*}" "${s#*,}" 9)"); done

# ---- Hiring 25 workers for 25 silver ----
click $LABOR_X $BUTTON_Y
await hire "the labor button does not open the hire panel" "$IN_HIRE; is $GO_X $GO_Y $HIRE"
for t in 0 1 2 3; do click "${HIRE_X[t]}" "$(slider_y $t)"; done
await hire-chosen "the sliders do not show the go button" "$IN_HIRE; isnt $GO_X $GO_Y $HIRE"
click $GO_X $GO_Y
await hired "Go does not close the hire panel" "$IN_WORLD; $NO_MODE"

# 23 silver are left: the tax office (300) is refused with a toast.
click "$(button_x 13)" $BUTTON_Y
await refused-taxc "no refusal toast for the tax office" "$TOAST; $NO_MODE"
key Escape
await toast-closed "Escape does not dismiss the toast" "$IN_WORLD; $NO_MODE; isnt 640 690 $PANE"

# Build marks: Shift anchors the area at the cursor, a click marks up to it;
# a click inside it then takes one mark away again.
mode area-mode "the wall button does not start the area mode" 14
point 900 450
xdotool keydown shift
point 960 480
point 1000 500
xdotool click 1
xdotool keyup shift
point 950 475 && xdotool click 1
shot marks
key Escape
await back-from-area "Escape does not leave the area mode" "$IN_WORLD; $NO_MODE"

click $LABOR_X $BUTTON_Y
await hire-again "the hire panel does not open again" "$IN_HIRE"
key Escape
await back-from-hire "Escape does not close the hire panel" "$IN_WORLD; $NO_MODE"
quit hut-saved

# ---- What the game saved ----
holds 23 1,1,1
[ "$(saved taxc_count)" = 1 ] || fail "saved $(saved taxc_count) tax offices, expected the first alone"
marks=$(saved nummarks)
has stdout.txt "serialized $marks marks."
# Members of each trade plus those still waiting to spawn: one each at the start, plus the hired.
python3 - "$SAVE" "$BINSAVE" "$marks" "${HIRED[@]}" <<'EOF' || fail "the saved crowd or marks are wrong"
import struct, sys
txt = open(sys.argv[1]).read().split("\n")
binsav = open(sys.argv[2], "rb").read()
marks, hired = int(sys.argv[3]), [int(h) for h in sys.argv[4:8]]
queues = [int(txt[txt.index("spawnqueues") + 1 + t]) for t in range(4)]
n = int(next(l.split()[1] for l in txt if l.startswith("crowd_sz ")))
trades = struct.unpack("<%dI" % n, binsav[24 * n:28 * n])
for t in range(4):
    have = trades.count(t) + queues[t]
    if have != 1 + hired[t]:
        sys.exit("trade %d: %d members and waiting, expected %d" % (t, have, 1 + hired[t]))
# Marks beyond the 13x13 base (rows 62..74, columns 36..48) fill their area but one cell.
cells = struct.unpack("<%di" % marks, binsav[len(binsav) - 8 * marks:len(binsav) - 4 * marks])
extra = {(c % 128, c // 128) for c in cells if not (62 <= c // 128 <= 74 and 36 <= c % 128 <= 48)}
if len(cells) - len(extra) != 169 or not extra:
    sys.exit("%d marks, %d beyond the base" % (len(cells), len(extra)))
xs, ys = [x for x, _ in extra], [y for _, y in extra]
area = (max(xs) - min(xs) + 1) * (max(ys) - min(ys) + 1)
if area < 4 or len(extra) != area - 1:
    sys.exit("%d area marks in a box of %d cells: %s" % (len(extra), area, sorted(extra)))
EOF

# ---- The next start: the saved game comes back ----
play loaded
for i in 0 1 2; do
  s=${sites[i]}
  was=$(rgb bare.xwd "${s%,*}" "${s#*,}" 9)
  now=$(rgb "$LAST_SHOT" "${s%,*}" "${s#*,}" 9)
  [ "$(distance "$now" "${built[i]}")" -le 40 ] || fail "building $i at $s looks $now, was ${built[i]}"
  [ "$(distance "$was" "${built[i]}")" -gt 20 ] || fail "site $s looked the same before building"
done
# A left drag on the world pans the view and places nothing, even in build mode.
# It starts on the far sand, where no worker walks: a press on one picks it up.
mode drag-mode "the field button does not start farm-field mode" 10
cp "$LAST_SHOT" unpanned.xwd
point 640 120
xdotool mousedown 1
for step in 1 2 3 4 5 6; do
  xdotool mousemove_relative -- 0 20
  sleep 0.1
done
xdotool mouseup 1
panned() { [ "$(distance "$(rgb unpanned.xwd 585 395 41)" "$(rgb "$LAST_SHOT" 585 395 41)")" -gt 10 ]; }
await dragged "the drag did not pan the view, or ended farm-field mode" "panned; $(lit 10); $(dim 11)"
key Escape
await back-from-drag "Escape does not leave build mode" "$IN_WORLD; $NO_MODE"
quit loaded-saved
# The load's and the save's reports of the marks, and the walls rebuilt around the buildings.
[ "$(grep -cxF "serialized $marks marks." stdout.txt)" = 2 ] || fail "the last start did not load the $marks marks"
grep -qE '^Created [1-9][0-9]* wall shapes\.$' stdout.txt || fail "the load rebuilt no walls"
holds 23 1,1,1
! grep -q '^ERR ' all.txt || fail "errors in the log: $(grep '^ERR ' all.txt | head -3)"
echo "play: ok"
