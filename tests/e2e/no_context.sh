# Without an OpenGL 3.2 core context the game ends with status 102.
source "$(dirname "$0")/lib/e2e.sh"
use_offscreen
export MESA_GL_VERSION_OVERRIDE=3.1
run_game 102 headless=1
has stdout.txt "Tavorek, Ombrelith v117"
lacks stdout.txt "Successfully Created OpenGL context"
lacks stdout.txt "ctrl_create"
echo "no_context: ok"
