# headless=1 starts everything up to the controller, then exits 0 without a frame.
source "$(dirname "$0")/lib/e2e.sh"
use_offscreen
printf '%s\n' \
  "03000000341200000100000001000000,Test Pad,a:b0,b:b1,back:b6,platform:Linux," \
  "03000000341200000200000001000000,Test Pad 2,a:b0,b:b1,back:b6,platform:Linux," \
  >gamecontrollerdb.txt
run_game 0 headless=1 msaa=0 swapinterval=0 resetstats=1

for f in stdout.txt "$LOGFILE"; do
  has "$f" "Tavorek, Ombrelith v117"
  has "$f" "Successfully Created OpenGL context (depth size 24)."
  has "$f" "Added 2 gamecontroller mappings."
  has "$f" "Steam stats were reset"
  lacks "$f" "Shutting down"
done
has stdout.txt "Did initialize steam."
has stdout.txt "User data folder is '$USERDIR'"
has stdout.txt "Opened log file at $LOGFILE."
grep -qx 'CPU Vendor .*' stdout.txt || fail "no CPU Vendor line"
lacks "$LOGFILE" "CPU Vendor"

# Headless stays windowed: the window is 1280x720 lowered to the desktop, not the desktop.
desk=$(sed -n 's/^The desktop resolution is \([0-9]*x[0-9]*\)$/\1/p' stdout.txt)
dw=${desk%x*} dh=${desk#*x}
has stdout.txt "drawable size: $((dw < 1280 ? dw : 1280))x$((dh < 720 ? dh : 720))"
has stdout.txt "ctrl_create( $((dw < 1280 ? dw : 1280)), $((dh < 720 ? dh : 720)), 1.000000 )"
echo "headless: ok"
