# The user data folder at start-up: refused, shared by two copies of the
# game, read-only; and standard output a pipe nobody reads.
source "$(dirname "$0")/lib/e2e.sh"
use_offscreen

# start_copy NAME ARGS...: the game running in the background, its output in
# NAME.txt, its process id in $COPY.
start_copy() {
  local name=$1
  shift
  "$BIN" msaa=0 swapinterval=0 "$@" >"$name.txt" 2>"$name.err" &
  COPY=$!
}
# await_line FILE TEXT: waits (at most 60 s) for the line TEXT in FILE.
await_line() {
  local t
  for t in $(seq 1 240); do
    grep -qxF -- "$2" "$1" 2>/dev/null && return 0
    sleep 0.25
  done
  fail "$1 never showed '$2'"
}
# stop_copy PID: SIGTERM, as a closed session sends it; the copy quits and saves. Checks status 0.
stop_copy() {
  local rc=0
  kill -TERM "$1"
  timeout -k 5 30 tail --pid="$1" -f /dev/null || { kill -9 "$1"; fail "a copy did not quit"; }
  wait "$1" || rc=$?
  [ "$rc" -eq 0 ] || fail "a copy ended with status $rc"
}
# The folder's files and what they hold, the running owner's log left out.
snapshot() {
  (cd "$USERDIR" && find . -path ./tavoreklog.txt -prune -o -type f -print0 | sort -z |
    xargs -0 -r sha1sum; find . | sort)
}
AGE_LINE='^wld_age '

# ---- A folder that cannot be made: the working directory serves, no log file ----
mv "$HOME" "$WORK/home.dir"
touch "$HOME"   # a plain file: no folder can be made under it
(unset XDG_DATA_HOME && run_game 0 headless=1)
has stdout.txt "Did initialize steam."
has stdout.txt "ERR Failed to get the user data folder from steam."
lacks stdout.txt "log file at"
has stdout.txt "Tavorek, Ombrelith v117"
has stdout.txt "Successfully Created OpenGL context (depth size 24)."
[ -z "$(find "$WORK" -name tavoreklog.txt)" ] || fail "a log file was written"
rm "$HOME"
mv "$WORK/home.dir" "$HOME"

# ---- Standard output a pipe whose reader has gone: the game plays on and saves ----
( "$BIN" msaa=0 swapinterval=0 & echo $! >pid.txt
  rc=0
  wait $! || rc=$?
  echo $rc >rc.txt ) | head -n 1 >first.txt &
PIPED=$!
for t in $(seq 1 240); do [ -s pid.txt ] && break; sleep 0.25; done
await_line "$LOGFILE" "No saved game in $USERDIR."
sleep 1   # a few frames, each with log lines to the closed pipe
kill -TERM "$(cat pid.txt)"
timeout -k 5 30 tail --pid="$(cat pid.txt)" -f /dev/null || fail "the piped game did not quit"
wait "$PIPED" || true
[ "$(cat rc.txt)" = 0 ] || fail "with its output's reader gone the game ended with status $(cat rc.txt)"
[ "$(wc -l <first.txt)" = 1 ] || fail "head saw no line"
has "$LOGFILE" "Shutting down SteamAPI."
grep -q "$AGE_LINE" "$USERDIR/game.txtsav" || fail "the piped game was not saved"

# ---- Two copies on one folder: the second plays, says so once, writes nothing ----
start_copy first
FIRST=$COPY
await_line "$LOGFILE" "Loading the saved game from $USERDIR."
before=$(snapshot)
start_copy second
SECOND=$COPY
await_line second.txt "Loading the saved game from $USERDIR."
sleep 1
stop_copy "$SECOND"
has second.txt "ERR This session cannot be saved: another copy of the game is using the user data folder."
has second.txt "Game not saved: another copy of the game is using the user data folder."
[ "$(grep -c '^ERR ' second.txt)" = 1 ] || fail "ERR lines of the second copy: $(grep '^ERR ' second.txt)"
[ "$(snapshot)" = "$before" ] || fail "the second copy wrote in the folder"
lacks "$LOGFILE" "ERR This session cannot be saved"
kill -0 "$FIRST" || fail "the first copy died"
stop_copy "$FIRST"
has "$LOGFILE" "Shutting down SteamAPI."
lacks first.txt "ERR "

# ---- A read-only folder holding a good save: loaded, played, nothing written ----
# Root writes through any mode, so the folder is made read-only for real: a
# read-only bind mount in a mount namespace of the game's own, or else the
# game run as nobody on a folder of mode 0500.
RO_MOUNT='mount --bind "$1" "$1" && mount -o remount,ro,bind "$1" "$1"'
readonly_run() {
  if unshare -m sh -c "$RO_MOUNT" _ "$USERDIR" 2>/dev/null; then
    unshare -m sh -c "$RO_MOUNT"' && exec "$2" msaa=0 swapinterval=0' _ "$USERDIR" "$BIN" \
      >ro.txt 2>ro.err &
  elif [ "$(id -u)" != 0 ]; then
    chmod 0500 "$USERDIR"
    "$BIN" msaa=0 swapinterval=0 >ro.txt 2>ro.err &
  elif command -v setpriv >/dev/null; then
    chmod 755 "$WORK" && chown -R nobody "$XDG_DATA_HOME" && chmod 0500 "$USERDIR"
    setpriv --reuid=nobody --regid=nogroup --clear-groups \
      "$BIN" msaa=0 swapinterval=0 >ro.txt 2>ro.err &
  else
    echo "user_folder: skipped the read-only folder: no mount namespace and no setpriv"
    return 1
  fi
  COPY=$!
}
age=$(grep "$AGE_LINE" "$USERDIR/game.txtsav")
before=$(cat "$LOGFILE"; snapshot)
if readonly_run; then
  await_line ro.txt "Loading the saved game from $USERDIR."
  sleep 1
  stop_copy "$COPY"
  chmod 0700 "$USERDIR"
  has ro.txt "ERR This session cannot be saved: the user data folder cannot be written."
  has ro.txt "Game not saved: the user data folder cannot be written."
  [ "$(grep -c '^ERR ' ro.txt)" = 1 ] || fail "ERR lines of the read-only run: $(grep '^ERR ' ro.txt)"
  [ "$(cat "$LOGFILE"; snapshot)" = "$before" ] || fail "the read-only run wrote in the folder"
  [ "$(grep "$AGE_LINE" "$USERDIR/game.txtsav")" = "$age" ] || fail "the saved game changed"
fi
echo "user_folder: ok"
