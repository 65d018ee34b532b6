# Shared by the end-to-end scripts: sourced with the tavorek binary as $1 and
# the build's run folder as $2.
set -euo pipefail

BIN=$(readlink -f "$1")
RUN=$(readlink -f "$2")
WORK=$(mktemp -d)

# below PID: every process under PID, but the subshell that asks.
below() {
  local c
  for c in $(ps -o pid= --ppid "$1"); do
    [ "$c" = "$BASHPID" ] || { echo "$c"; below "$c"; }
  done
}
# Whatever fails, the script ends what it started, so that no game runs on
# and ctest does not wait for its timeout: every game first, then the script's
# own last words (AT_EXIT, which may wait for its other jobs), then whatever
# still runs below it, then its folder.
e2e_end() {
  set +e
  local p
  for p in $(below $$); do
    [ "$(readlink "/proc/$p/exe")" != "$BIN" ] || kill -9 "$p"
  done 2>/dev/null
  eval "${AT_EXIT:-}"
  kill -9 $(below $$) 2>/dev/null
  rm -rf "$WORK"
}
trap e2e_end EXIT
# Never touch the real user's folder.
export HOME="$WORK/home" XDG_DATA_HOME="$WORK/data"
mkdir -p "$HOME" "$XDG_DATA_HOME" "$WORK/run"
# The game runs in a linked copy of the run folder, so scripts running at once
# keep their outputs apart.
cp -rs "$RUN"/. "$WORK/run/"
cd "$WORK/run"
USERDIR="$XDG_DATA_HOME/tavorek"
LOGFILE="$USERDIR/tavoreklog.txt"

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# has FILE TEXT: FILE holds a line that is exactly TEXT.
has() {
  grep -qxF -- "$2" "$1" || fail "$1 lacks the line '$2'"
}

lacks() {
  ! grep -qF -- "$2" "$1" || fail "$1 has '$2'"
}

# run_game STATUS ARGS...: runs the game (never longer than a minute; SDL turns
# SIGTERM into a quit event, so KILL follows) and checks its exit status.
run_game() {
  local want=$1 rc=0
  shift
  timeout -k 5 60 "$BIN" "$@" >stdout.txt 2>stderr.txt || rc=$?
  cat stdout.txt
  [ "$rc" -eq "$want" ] || fail "exit status $rc, expected $want"
}

# Offscreen, so the game never waits on a display or a message box.
use_offscreen() {
  unset DISPLAY WAYLAND_DISPLAY
  export SDL_VIDEODRIVER=offscreen ALSOFT_DRIVERS=null
}
