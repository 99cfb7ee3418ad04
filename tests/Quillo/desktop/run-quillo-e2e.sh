#!/usr/bin/env bash
# Runs quillo-e2e.py against the real program on a desktop of its own: a
# virtual X screen with a tray (trayer), a private session bus with the
# accessibility bus on it, a throwaway home, and the simulated household on
# addresses no other test uses.
#   run-quillo-e2e.sh BIN-DIR
# Exits 77 (skipped) when the desktop can't be built here, saying why.
set -uo pipefail

bin=${1:?usage: run-quillo-e2e.sh BIN-DIR}
here=$(cd "$(dirname "$0")" && pwd)
python=/usr/bin/python3
# tests/TestAddresses.h keeps this block (Suite::QuilloDesktop) for this test.
sim_address=127.120.0.11

skip() {
  echo "SKIPPED: $*" >&2
  exit 77
}

for tool in Xvfb trayer xdotool xwininfo dbus-daemon dbus-send; do
  command -v "$tool" >/dev/null || skip "$tool is not installed"
done
[[ -x $python ]] || skip "$python is missing"
"$python" -c 'import pyatspi' 2>/dev/null || skip "python3-pyatspi is not installed"
[[ -x /usr/libexec/at-spi-bus-launcher ]] || skip "at-spi2-core is not installed"
for program in quillo playersim zonescout; do
  [[ -x $bin/$program ]] || { echo "$bin/$program is not built" >&2; exit 1; }
done

work=$(mktemp -d)
pids=()

# Every process this script started, then whatever they started in turn
# (the bus starts the accessibility services), found by parent id.
descendants() {
  local pid child
  for pid in "$@"; do
    for child in $(ps -o pid= --ppid "$pid" 2>/dev/null); do
      descendants "$child"
      echo "$child"
    done
  done
}
cleanup() {
  local all
  all=$(descendants "${pids[@]}"; printf '%s\n' "${pids[@]}")
  # Children first, so nothing is restarted by a parent on its way out.
  for pid in $all; do kill -TERM "$pid" 2>/dev/null; done
  for _ in $(seq 50); do
    local alive=0
    for pid in $all; do kill -0 "$pid" 2>/dev/null && alive=1; done
    ((alive)) || break
    sleep 0.1
  done
  for pid in $all; do kill -KILL "$pid" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Polls `command` every 0.1 s for at most `seconds`.
wait_for() {
  local seconds=$1
  shift
  local deadline=$((SECONDS + seconds))
  until "$@"; do
    ((SECONDS < deadline)) || return 1
    sleep 0.1
  done
}

mkdir -p "$work/home/.config/Quillo" "$work/home/.cache" "$work/xdg"
chmod 700 "$work/xdg"
export HOME=$work/home XDG_RUNTIME_DIR=$work/xdg XDG_CONFIG_HOME=$work/home/.config \
       XDG_CACHE_HOME=$work/home/.cache XDG_DATA_HOME=$work/home/.local/share
printf 'manualHost=%s\nhasSeenWelcome=true\nselectedRoomName=Salon Café\n' "$sim_address" >"$XDG_CONFIG_HOME/Quillo/Quillo.conf"

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
wait_for 10 test -s "$work/display" || skip "Xvfb did not start: $(tail -n 3 "$work/xvfb.log")"
export DISPLAY=:$(head -n 1 "$work/display")

dbus-daemon --session --fork --nopidfile --print-address=1 --print-pid=1 >"$work/bus" 2>"$work/bus.log" \
  || skip "no session bus: $(cat "$work/bus.log")"
export DBUS_SESSION_BUS_ADDRESS=$(sed -n 1p "$work/bus")
pids+=("$(sed -n 2p "$work/bus")")
dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null 2>&1 \
  || skip "the AT-SPI accessibility bus does not start"

trayer --edge top --align right --widthtype pixel --width 120 --height 30 >"$work/trayer.log" 2>&1 &
pids+=($!)
tray_ready() { xwininfo -root -tree 2>/dev/null | grep -q '"panel"'; }
wait_for 10 tray_ready || skip "trayer did not map its panel"

# Players share a port through SO_REUSEPORT, so a stray simulator on these
# addresses would silently answer half of the requests.
if command -v ss >/dev/null && ss -Hltn "src $sim_address" | grep -q .; then
  echo "something already listens on $sim_address; stop it first" >&2
  exit 1
fi
"$bin/playersim" --first-address "$sim_address" >"$work/playersim.log" 2>&1 &
pids+=($!)
wait_for 15 grep -qx ready "$work/playersim.log" || { echo "playersim did not start:" >&2; cat "$work/playersim.log" >&2; exit 1; }

QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QUICK_BACKEND=software \
  "$bin/quillo" >"$work/quillo.log" 2>&1 &
quillo=$!
pids+=("$quillo")

QUILLO_BIN=$bin QUILLO_SIM_ADDRESS=$sim_address QUILLO_PID=$quillo "$python" "$here/quillo-e2e.py"
status=$?
if ((status != 0 && status != 77)); then
  echo "--- quillo's output" >&2
  cat "$work/quillo.log" >&2
fi
exit "$status"
