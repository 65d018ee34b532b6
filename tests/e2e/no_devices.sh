# No SDL audio driver, no controller, no mapping file: logged and passed over.
source "$(dirname "$0")/lib/e2e.sh"
use_offscreen
export SDL_AUDIODRIVER=none-such
run_game 0 headless=1
grep -q '^ERR SDL_Init failed: ' stdout.txt || fail "SDL_Init failure not logged"
has stdout.txt "Successfully Created OpenGL context (depth size 24)."
has stdout.txt "Number of joysticks: 0"
has stdout.txt "Added -1 gamecontroller mappings."
has stdout.txt "Did not find a supported gamepad."
has "$LOGFILE" "Did not find a supported gamepad."
echo "no_devices: ok"
