#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillo developers
# SPDX-License-Identifier: MIT
# Runs quillo-e2e.py against the real program on a desktop of its own: a
# private session bus with the accessibility bus on it, a throwaway home, the
# simulated household on addresses no other test uses, and one of these
# desktops:
#   xembed   a virtual X screen with an XEmbed tray (trayer), as Xfce, MATE
#            and the bars of tiling window managers have
#   sni      a virtual X screen and a StatusNotifierItem host on the bus that
#            comes up only after Quillo, as KDE Plasma's panel may at login
#   none     a virtual X screen without any tray, as GNOME without extensions,
#            until the test starts one
#   wayland  a headless Wayland compositor (weston) with a StatusNotifierItem
#            host
#   audit    as xembed, for the keyboard and screen-reader walk of every screen
#
#   run-quillo-e2e.sh BIN-DIR [MODE]
# Exits 77 (skipped) when the desktop can't be built here, saying why.
set -uo pipefail

bin=${1:?usage: run-quillo-e2e.sh BIN-DIR [xembed|sni|none|wayland|audit]}
mode=${2:-xembed}
here=$(cd "$(dirname "$0")" && pwd)
python=/usr/bin/python3
# tests/TestAddresses.h keeps this block (Suite::QuilloDesktop) for this test,
# one third octet per mode, so that the modes can run side by side.
case $mode in
  xembed) ordinal=0 ;;
  sni) ordinal=1 ;;
  none) ordinal=2 ;;
  wayland) ordinal=3 ;;
  audit) ordinal=4 ;;
  *) echo "unknown mode $mode" >&2; exit 2 ;;
esac
sim_address=127.120.$ordinal.11

skip() {
  echo "SKIPPED: $*" >&2
  exit 77
}

needed=(dbus-daemon dbus-send)
case $mode in
  xembed | audit) needed+=(Xvfb trayer xdotool xwininfo) ;;
  sni) needed+=(Xvfb xdotool xwininfo) ;;
  none) needed+=(Xvfb trayer xdotool xwininfo) ;;
  wayland) needed+=(weston) ;;
esac
for tool in "${needed[@]}"; do
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

# The display answers a client (xdpyinfo is in x11-utils, beside xwininfo).
xdpyinfo_ok() { xdpyinfo >/dev/null 2>&1; }

mkdir -p "$work/home/.config/Quillo" "$work/home/.cache" "$work/xdg"
chmod 700 "$work/xdg"
export HOME=$work/home XDG_RUNTIME_DIR=$work/xdg XDG_CONFIG_HOME=$work/home/.config \
       XDG_CACHE_HOME=$work/home/.cache XDG_DATA_HOME=$work/home/.local/share
# The audit starts as a first run, with the welcome window.
seen_welcome=true
[[ $mode == audit ]] && seen_welcome=false
printf 'manualHost=%s\nhasSeenWelcome=%s\nselectedRoomName=Salon Café\n' "$sim_address" "$seen_welcome" \
  >"$XDG_CONFIG_HOME/Quillo/Quillo.conf"

if [[ $mode == wayland ]]; then
  [[ -e /usr/lib/x86_64-linux-gnu/qt6/plugins/platforms/libqwayland-generic.so ]] \
    || ls /usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so >/dev/null 2>&1 \
    || skip "Qt's Wayland platform (qt6-wayland) is not installed"
  unset DISPLAY
  weston --backend=headless-backend.so --socket=quillo-e2e --idle-time=0 >"$work/weston.log" 2>&1 &
  pids+=($!)
  wait_for 10 test -S "$XDG_RUNTIME_DIR/quillo-e2e" || skip "weston did not start: $(tail -n 3 "$work/weston.log")"
  export WAYLAND_DISPLAY=quillo-e2e
  # The headless compositor has no seat; Qt 6.4's Wayland text input then
  # dereferences the missing input device as soon as a text item is made.
  # Any desktop session has a seat, so the input method is left out here only.
  export QT_IM_MODULE=none
  platform=wayland
else
  # A display number of its own per mode: an X server that exits removes its
  # socket file by name, and would take a newer server's on a reused number
  # with it, leaving that one unreachable.
  display=$((150 + ordinal))
  # -noreset: the readiness check is the only client, and a server that
  # resets as it leaves turns the next client away.
  Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp -noreset 2>"$work/xvfb.log" &
  xvfb=$!
  pids+=("$xvfb")
  export DISPLAY=:$display
  wait_for 10 xdpyinfo_ok || skip "Xvfb did not start on $DISPLAY: $(tail -n 3 "$work/xvfb.log")"
  kill -0 "$xvfb" 2>/dev/null || skip "display $DISPLAY is taken by another X server"
  platform=xcb
fi

dbus-daemon --session --fork --nopidfile --print-address=1 --print-pid=1 >"$work/bus" 2>"$work/bus.log" \
  || skip "no session bus: $(cat "$work/bus.log")"
export DBUS_SESSION_BUS_ADDRESS=$(sed -n 1p "$work/bus")
pids+=("$(sed -n 2p "$work/bus")")
dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null 2>&1 \
  || skip "the AT-SPI accessibility bus does not start"

case $mode in
  xembed | audit)
    trayer --edge top --align right --widthtype pixel --width 120 --height 30 >"$work/trayer.log" 2>&1 &
    pids+=($!)
    tray_ready() { xwininfo -root -tree 2>/dev/null | grep -q '"panel"'; }
    wait_for 10 tray_ready || skip "trayer did not map its panel"
    ;;
  sni | wayland)
    host_flags=()
    [[ $mode == sni ]] && host_flags=(--host-after 3)
    "$python" "$here/sni-host.py" "$work/sni-ready" "${host_flags[@]}" >"$work/sni.log" 2>&1 &
    pids+=($!)
    wait_for 10 test -s "$work/sni-ready" || skip "the StatusNotifierItem host did not start: $(cat "$work/sni.log")"
    ;;
esac

# Players share a port through SO_REUSEPORT, so a stray simulator on these
# addresses would silently answer half of the requests.
if command -v ss >/dev/null && ss -Hltn "src $sim_address" | grep -q .; then
  echo "something already listens on $sim_address; stop it first" >&2
  exit 1
fi
"$bin/playersim" --first-address "$sim_address" >"$work/playersim.log" 2>&1 &
pids+=($!)
wait_for 15 grep -qx ready "$work/playersim.log" || { echo "playersim did not start:" >&2; cat "$work/playersim.log" >&2; exit 1; }

QT_QPA_PLATFORM=$platform QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QUICK_BACKEND=software \
  "$bin/quillo" >"$work/quillo.log" 2>&1 &
quillo=$!
pids+=("$quillo")

QUILLO_BIN=$bin QUILLO_SIM_ADDRESS=$sim_address QUILLO_PID=$quillo QUILLO_MODE=$mode QUILLO_CONFIG=$XDG_CONFIG_HOME/Quillo/Quillo.conf \
  "$python" "$here/quillo-e2e.py"
status=$?
if ((status != 0 && status != 77)); then
  echo "--- quillo's output" >&2
  cat "$work/quillo.log" >&2
  for log in xvfb weston sni; do
    [[ -s $work/$log.log ]] && { echo "--- $log" >&2; tail -n 20 "$work/$log.log" >&2; }
  done
fi
exit "$status"
