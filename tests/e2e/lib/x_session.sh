# Sourced first by the scripts that play on a real X server, with the seconds
# the whole session may take: runs the script again inside its own Xvfb
# screen of ${SCREEN:-1280x720}, then loads e2e.sh and x11.sh there with real input and
# silent sound.
if [ -z "${PLAY_ON_X:-}" ]; then
  limit=$1
  shift
  PLAY_ON_X=1 exec timeout -k 5 "$limit" xvfb-run -a -s "-screen 0 ${SCREEN:-1280x720}x24" bash "$0" "$@"
fi
shift
LIB=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$LIB/e2e.sh"
source "$LIB/x11.sh"
unset SDL_VIDEODRIVER WAYLAND_DISPLAY
export ALSOFT_DRIVERS=null
