# A fault inside the frame's update of the real game: gdb stops the main
# thread in ctrl_update and hands it SIGSEGV. The game must end with status 1
# and leave the trace in the log file of the user data folder.
source "$(dirname "$0")/lib/e2e.sh"
use_offscreen
command -v gdb >/dev/null || fail "gdb is missing (tools/install_deps.sh installs it)"
timeout -k 5 90 gdb -q -nx -batch \
  -ex 'set breakpoint pending on' -ex 'break ctrl_update' -ex run -ex 'signal SIGSEGV' \
  --args "$BIN" msaa=0 swapinterval=0 >gdb.txt 2>&1 || true
cat gdb.txt
grep -q 'exited with code 01\]' gdb.txt || fail "the game did not end with status 1"
has "$LOGFILE" "ERR =================== STACK FRAME(c0000005) ======================="
has "$LOGFILE" "ERR ============================================================================"
# The faulting frame first, then the loop that called it, each with its source line.
first=$(grep -m1 -E '^[^ ]+ \([0-9]+\): ' "$LOGFILE" || true)
case "$first" in
  *ctrl_update.cpp*ctrl_update*) ;;
  *) fail "first frame is not ctrl_update: '$first'" ;;
esac
grep -qE '^[^ ]+sdlmain_loop\.cpp \([0-9]+\): ' "$LOGFILE" || fail "no frame of the frame loop"
lacks "$LOGFILE" "Shutting down"
echo "crash: ok"
