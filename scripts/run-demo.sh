#!/usr/bin/env bash
# The main job: build, then run the example and kovalink against a USB
# reader when one is attached, else against the simulated reader; then
# torvik, the test program: on the screen when there is one ($DISPLAY),
# else a screenshot of its main window taken under a virtual display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build"
out=$root/build/out

reader_attached() {
  grep -qis 'HID_ID=0003:00001A86:0000E010' /sys/class/hidraw/*/device/uevent 2>/dev/null
}

demo() {
  "$out/reader_info"
  echo "== kovalink info"
  "$out/kovalink" info
}

torvik() {
  if [ -n "${DISPLAY:-}" ]; then
    echo "== torvik (close its window to finish)"
    "$out/torvik"
  else
    echo "== torvik under a virtual display, against its own simulated reader"
    local shot=$root/build/torvik-main-window.png
    /usr/bin/python3 "$root/tests/demo/atspi/torvik_driver.py" "$out" --screenshot "$shot" --card mifare1k >/dev/null
    echo "torvik's main window: $shot"
  fi
}

if reader_attached; then
  echo "== USB reader found"
  demo
  torvik
  exit
fi

echo "== no USB reader attached: using the simulated reader"
export TAVOHID_VIRTUAL_DIR
TAVOHID_VIRTUAL_DIR=$(mktemp -d)
"$out/readersim" --dir "$TAVOHID_VIRTUAL_DIR" --card mifare1k </dev/null >"$TAVOHID_VIRTUAL_DIR/readersim.log" 2>&1 &
sim=$!
trap 'kill $sim 2>/dev/null; wait $sim 2>/dev/null; rm -rf "$TAVOHID_VIRTUAL_DIR"' EXIT
for _ in $(seq 50); do ls "$TAVOHID_VIRTUAL_DIR"/*.sock >/dev/null 2>&1 && break; sleep 0.1; done
demo
echo "== kovalink mifare search"
"$out/kovalink" mifare search
torvik
