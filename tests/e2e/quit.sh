# A real X server: the game opens fullscreen, Escape on the menu-less world ends it cleanly.
source "$(dirname "$0")/lib/e2e.sh"
unset SDL_VIDEODRIVER WAYLAND_DISPLAY
export ALSOFT_DRIVERS=null
cat >session.sh <<EOS
set -eu
"$BIN" >stdout.txt 2>stderr.txt &
game=\$!
win=\$(timeout 30 xdotool search --sync --name '^Tavorek, Ombrelith\$' | head -n1)
[ -n "\$win" ] || { kill -9 \$game; exit 90; }
sleep 1
xprop -id "\$win" -notype 32c _NET_WM_ICON >icon.txt
xdotool windowfocus --sync "\$win" key Escape
rc=0
timeout -k 5 30 tail --pid=\$game -f /dev/null || rc=91
wait \$game || rc=\$?
exit \$rc
EOS
rc=0
timeout -k 5 90 xvfb-run -a -s "-screen 0 1280x720x24" bash session.sh || rc=$?
cat stdout.txt
[ "$rc" -eq 0 ] || fail "session ended with status $rc"
for f in stdout.txt "$LOGFILE"; do
  has "$f" "drawable size: 1280x720"
  has "$f" "ctrl_destroy"
  has "$f" "Shutting down SDL2 framework."
  has "$f" "Shutting down SteamAPI."
done
# The compiled-in icon: 64x64 and a picture, not one flat colour.
icon=$(sed 's/^_NET_WM_ICON = //' icon.txt | tr -d ' ')
[ "$(echo "$icon" | cut -d, -f1-2)" = "64,64" ] || fail "icon is not 64x64: $(head -c 80 icon.txt)"
[ "$(echo "$icon" | tr ',' '\n' | tail -n +3 | wc -l)" -eq 4096 ] || fail "icon pixel count"
[ "$(echo "$icon" | tr ',' '\n' | tail -n +3 | sort -u | wc -l)" -gt 8 ] || fail "icon is flat"
# Shut-down order: controller, SDL, then the platform layer.
[ "$(grep -nx -e ctrl_destroy -e 'Shutting down SDL2 framework.' -e 'Shutting down SteamAPI.' "$LOGFILE" | cut -d: -f2 | paste -sd'|')" = \
  "ctrl_destroy|Shutting down SDL2 framework.|Shutting down SteamAPI." ] || fail "shut-down out of order"
echo "quit: ok"
