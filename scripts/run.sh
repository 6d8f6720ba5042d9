#!/usr/bin/env bash
# Builds the program and starts it. When no USB bridge of the unit is
# plugged in and no COM1 is named, the unit emulator stands in on COM1, its
# lamps, meters and knob levels moving. Only what runs is built (the
# program brings its resources and animation module); scripts/test.sh
# builds the rest.
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
build_tree build -- qdr318-manager qdr318-sim

bridge_present() {
  grep -qsx 0403 /sys/bus/usb/devices/*/idVendor
}

if [ -z "${QDR318_COM1:-}" ] && ! bridge_present; then
  coproc SIM { exec "$ROOT/build/bin/qdr318-sim" --live; }
  read -r pty <&"${SIM[0]}"
  trap 'kill "$SIM_PID" 2>/dev/null' EXIT
  export QDR318_COM1="$pty"
  echo "No unit attached: the emulator answers on COM1 ($pty)."
fi
"$ROOT/build/bin/qdr318-manager" "$@"
