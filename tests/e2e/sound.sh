# What the player hears, recorded by OpenAL Soft's wave writer and measured
# with sox: the menu theme at start, silence with music off, and an effect
# losing gain with distance as the inverse-distance model says.
source "$(dirname "$0")/lib/e2e.sh"
PROBE=$(dirname "$BIN")/sound_probe
use_offscreen

# record OUT CMD...: runs CMD with the wave writer writing OUT.
record() {
  local out=$1
  shift
  cat >"$WORK/alsoft.conf" <<EOC
[general]
channels = stereo
frequency = 44100
output-limiter = false
dither = false
[wave]
file = $out
EOC
  ALSOFT_DRIVERS=wave ALSOFT_CONF="$WORK/alsoft.conf" "$@" >>stdout.txt 2>>stderr.txt || true
  [ -s "$out" ] || fail "nothing recorded into $out"
}
stat_of() {  # stat_of FILE FIELD: a number from sox's stat
  sox "$1" -n stat 2>&1 | awk -v f="$2" -F: '$1 ~ f {gsub(/ /, "", $2); print $2}'
}
# menu_seconds: the menu until the game says its music plays (load slows it), then 3 s; TERM quits.
menu_seconds() {
  : >stdout.txt
  "$BIN" &
  until grep -qxF "Music buffers created." stdout.txt || ! kill -0 $!; do sleep 0.25; done
  sleep 3
  kill -TERM $! || true
  wait $!
}
run_menu() {
  record "$1" menu_seconds
  has stdout.txt "Music buffers created."
}

run_menu "$WORK/menu.wav"
rms=$(stat_of "$WORK/menu.wav" "RMS +amplitude")
len=$(stat_of "$WORK/menu.wav" "Length")
echo "menu theme: RMS $rms over $len s"
awk -v r="$rms" 'BEGIN { exit !(r > 0.02) }' || fail "menu theme not audible (RMS $rms)"

mkdir -p "$USERDIR"
printf 0 >"$USERDIR/.settings_music"
run_menu "$WORK/quiet.wav"
peak=$(stat_of "$WORK/quiet.wav" "Maximum amplitude")
echo "music off: peak $peak"
awk -v p="$peak" 'BEGIN { exit !(p < 0.0001) }' || fail "music off but peak $peak"

# Energy of the whole recording, so start-up time before the effect is no matter.
energy() {
  awk -v r="$(stat_of "$1" "RMS +amplitude")" -v l="$(stat_of "$1" "Length")" 'BEGIN { print r * r * l }'
}
record "$WORK/near.wav" "$PROBE" stonedrop 40 1.5
record "$WORK/far.wav" "$PROBE" stonedrop 140 1.5
# Gain 40 / (40 + 16 (d - 40)): 1 at the reference distance, 1/41 100 units on.
ratio=$(awk -v n="$(energy "$WORK/near.wav")" -v f="$(energy "$WORK/far.wav")" 'BEGIN { print sqrt(n / f) }')
echo "near/far amplitude ratio: $ratio (model 41)"
awk -v r="$ratio" 'BEGIN { exit !(r > 41 * 0.9 && r < 41 * 1.1) }' || fail "distance ratio $ratio"
echo "sound: ok"
