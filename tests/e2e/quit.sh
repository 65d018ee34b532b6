# A real X server: the game opens fullscreen, Escape on its menu ends it
# cleanly. A closed terminal (SIGHUP) mid-game ends it the same way, saving
# the game, and the next start loads that game with the log of the run before
# kept beside its own. A FIFO in the log's place is refused, never waited on.
source "$(dirname "$0")/lib/x_session.sh" 110 "$@"
PREVIOUS="$USERDIR/tavoreklog-previous.txt"

# ---- Escape on the menu ----
start_game
await first-menu "the game does not open on its menu" "is 300 620 128,84,26; is 1200 400 128,84,26"
xprop -id "$GAMEWIN" -notype 32c _NET_WM_ICON >icon.txt
key Escape
end_game
cat stdout.txt
for f in stdout.txt "$LOGFILE"; do
  has "$f" "drawable size: 1280x720"
  has "$f" "ctrl_destroy"
  has "$f" "Shutting down SDL2 framework."
  has "$f" "Shutting down SteamAPI."
done
# The compiled-in icon: 64x64 and a picture, not one flat colour.
icon=$(sed 's/^_NET_WM_ICON = //' icon.txt | tr -d ' ')
[ "$(echo "$icon" | cut -d, -f1-2)" = "64,64" ] || fail "icon is not 64x64: $(head -c 80 icon.txt)"
[ "$(echo "$icon" | tr ',' '\n' | tail -n +3 | wc -l)" -eq 4096 ] || fail "icon pixel count"
[ "$(echo "$icon" | tr ',' '\n' | tail -n +3 | sort -u | wc -l)" -gt 8 ] || fail "icon is flat"
# Shut-down order: controller, SDL, then the platform layer.
[ "$(grep -nx -e ctrl_destroy -e 'Shutting down SDL2 framework.' -e 'Shutting down SteamAPI.' "$LOGFILE" | cut -d: -f2 | paste -sd'|')" = \
  "ctrl_destroy|Shutting down SDL2 framework.|Shutting down SteamAPI." ] || fail "shut-down out of order"
[ ! -e "$PREVIOUS" ] || fail "a first start kept a log of a run before it"
cp "$LOGFILE" first.txt

# ---- The terminal closes mid-game ----
start_game msaa=0
await menu "the game does not open on its menu" "is 300 620 128,84,26; is 1200 400 128,84,26"
click 640 581
for t in $(seq 1 40); do grep -qx 'onStart()' "$LOGFILE" && break; sleep 0.25; done
has "$LOGFILE" "onStart()"  # on disk while the game runs
click 140 300  # the info screen closed: the world runs
sleep 2
kill -HUP "$GAME"
end_game
has "$LOGFILE" "Shutting down SteamAPI."
age=$(awk '$1 == "wld_age" { print $2 }' "$USERDIR/game.txtsav")
awk -v a="$age" 'BEGIN { exit !(a > 0) }' || fail "the game saved at the hang-up has age '$age'"
cmp -s first.txt "$PREVIOUS" || fail "the log of the run before was not kept"
cp "$LOGFILE" second.txt

# ---- The next start loads that game ----
run_game 0 headless=1
has "$LOGFILE" "Loading the saved game from $USERDIR."
lacks "$LOGFILE" "ERR "
cmp -s second.txt "$PREVIOUS" || fail "the log of the hung-up run was not kept"

# ---- FIFOs as the log and the controller mappings: a line each, and the game goes on ----
rm -f "$LOGFILE" gamecontrollerdb.txt
mkfifo "$LOGFILE" gamecontrollerdb.txt
rc=0
timeout -k 5 20 "$BIN" headless=1 >stdout.txt 2>stderr.txt || rc=$?
[ "$rc" -eq 0 ] || fail "with FIFOs as the log and the mappings the start ended with status $rc"
has stdout.txt "ERR $LOGFILE is not a regular file; moved aside as $LOGFILE.rejected-1."
has "$LOGFILE" "ERR $LOGFILE is not a regular file; moved aside as $LOGFILE.rejected-1."
has stdout.txt "ERR Cannot read gamecontrollerdb.txt: not a regular file"
has stdout.txt "Added -1 gamecontroller mappings."
[ "$(grep -c '^ERR ' stdout.txt)" = 2 ] || fail "ERR lines: $(grep '^ERR ' stdout.txt)"
has stdout.txt "Loading the saved game from $USERDIR."
[ -p "$LOGFILE.rejected-1" ] || fail "the FIFO was not moved aside"
echo "quit: ok"
