# A refused user data folder leaves the working directory as files path and no log file.
source "$(dirname "$0")/lib/e2e.sh"
use_offscreen
export XDG_DATA_HOME=$XDG_DATA_HOME/$(head -c $((246 - ${#XDG_DATA_HOME})) /dev/zero | tr '\0' d)  # 255 long
USERDIR=$XDG_DATA_HOME/tavorek LOGFILE=$XDG_DATA_HOME/tavorek/tavoreklog.txt
await() { for t in $(seq 240); do grep -qxF -- "$2" "$1" 2>/dev/null && return; sleep 0.25; done; fail "no '$2'"; }
stop() { kill -TERM "$1"; wait "$1" || fail "a copy ended with status $?"; }
snapshot() { find "$USERDIR" -mindepth 1 -path "$LOGFILE" -prune -o -printf '%p %i %C@\n' | sort; }
"$BIN" msaa=0 swapinterval=0 > >(head -n 1 >/dev/null) &
FIRST=$!
await "$LOGFILE" "No saved game in $USERDIR."
before=$(snapshot)
"$BIN" msaa=0 swapinterval=0 >second.txt &
await second.txt "No saved game in $USERDIR."
stop $!
[ "$(snapshot)" = "$before" ] || fail "the second copy wrote in the folder"
stop "$FIRST"
grep -q '^wld_age ' "$USERDIR/game.txtsav" || fail "the piped game was not saved"
rm -rf "$XDG_DATA_HOME" "$HOME"
unset XDG_DATA_HOME
touch "$HOME"   # a plain file: no folder can be made under it
run_game 0 headless=1
has stdout.txt "Did initialize steam."
has stdout.txt "ERR Failed to get the user data folder from steam."
lacks stdout.txt "log file at"
has stdout.txt "Tavorek, Ombrelith v117"
has stdout.txt "Successfully Created OpenGL context (depth size 24)."
[ -z "$(find "$WORK" -name tavoreklog.txt)" ] || fail "a log file was written"
[ -f tavorek.lock ] || fail "the working folder that holds the saves was not locked"
echo "user_folder: ok"
