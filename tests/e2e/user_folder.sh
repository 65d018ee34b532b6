# Standard output a pipe nobody reads, and two copies of the game on one user
# data folder; then a refused folder.
source "$(dirname "$0")/lib/e2e.sh"
use_offscreen

# await_line FILE TEXT: waits (at most 60 s) for the line TEXT in FILE.
await_line() {
  for t in $(seq 1 240); do grep -qxF -- "$2" "$1" 2>/dev/null && return 0; sleep 0.25; done
  fail "$1 never showed '$2'"
}
# stop_copy PID: SIGTERM, a quit that saves; the copy must end with status 0.
stop_copy() {
  local rc=0
  kill -TERM "$1"
  wait "$1" || rc=$?
  [ "$rc" -eq 0 ] || fail "a copy ended with status $rc"
}
# The folder's entries, each with its inode and time of change (a rewrite
# of the same bytes shows too), the running owner's log left out.
snapshot() {
  (cd "$USERDIR" && find . -mindepth 1 -path ./tavoreklog.txt -prune -o -printf '%p %i %C@\n' | sort)
}

# The reader of standard output gone: the game plays on, logs and saves.
"$BIN" msaa=0 swapinterval=0 > >(head -n 1 >/dev/null) 2>piped.err &
PIPED=$!
await_line "$LOGFILE" "No saved game in $USERDIR."
sleep 1   # frames, each with lines for the closed pipe
stop_copy "$PIPED"
has "$LOGFILE" "Shutting down SteamAPI."
grep -q '^wld_age ' "$USERDIR/game.txtsav" || fail "the piped game was not saved"

# Two copies: the second loads, says so once and writes nothing.
"$BIN" msaa=0 swapinterval=0 >first.txt 2>first.err &
FIRST=$!
await_line "$LOGFILE" "Loading the saved game from $USERDIR."
before=$(snapshot)
"$BIN" msaa=0 swapinterval=0 >second.txt 2>second.err &
await_line second.txt "Loading the saved game from $USERDIR."
sleep 1
stop_copy $!
has second.txt "ERR This session cannot be saved: another copy of the game is using the user data folder."
[ "$(grep -c '^ERR ' second.txt)" = 1 ] || fail "ERR lines of the second copy: $(grep '^ERR ' second.txt)"
[ "$(snapshot)" = "$before" ] || fail "the second copy wrote in the folder"
lacks "$LOGFILE" "cannot be saved"
stop_copy "$FIRST"
lacks first.txt "ERR "

# A refused user data folder leaves the working directory as files path and no log file.
rm -rf "$XDG_DATA_HOME"
unset XDG_DATA_HOME
rm -rf "$HOME"
touch "$HOME"   # a plain file: no folder can be made under it
run_game 0 headless=1
has stdout.txt "Did initialize steam."
has stdout.txt "ERR Failed to get the user data folder from steam."
lacks stdout.txt "log file at"
has stdout.txt "Tavorek, Ombrelith v117"
has stdout.txt "Successfully Created OpenGL context (depth size 24)."
[ -z "$(find "$WORK" -name tavoreklog.txt)" ] || fail "a log file was written"
echo "user_folder: ok"
