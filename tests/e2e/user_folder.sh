# A refused user data folder leaves the working directory as files path and no log file.
source "$(dirname "$0")/lib/e2e.sh"
use_offscreen
unset XDG_DATA_HOME
rmdir "$HOME"
touch "$HOME"   # a plain file: no folder can be made under it
run_game 0 headless=1
has stdout.txt "Did initialize steam."
has stdout.txt "ERR Failed to get the user data folder from steam."
lacks stdout.txt "log file at"
has stdout.txt "Tavorek, Ombrelith v117"
has stdout.txt "Successfully Created OpenGL context (depth size 24)."
[ -z "$(find "$WORK" -name tavoreklog.txt)" ] || fail "a log file was written"
echo "user_folder: ok"
