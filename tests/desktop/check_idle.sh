#!/usr/bin/env bash
# The program at rest on a real X display maps neither the web engine, the
# print system nor an OpenGL driver (with Mesa, some 50 MB of LLVM and the
# software rasteriser); Help > Contents then loads the browser plugin with
# the engine, and the help pages draw without OpenGL.
#   check_idle.sh PROGRAM          (run under xvfb-run)
set -euo pipefail
program=$1
data=$(mktemp -d)
pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2> /dev/null || true
  rm -rf "$data"
}
trap cleanup EXIT
env -u QT_QPA_PLATFORM -u QT_XCB_GL_INTEGRATION -u QT_QUICK_BACKEND HOME="$data" XDG_DATA_HOME="$data" \
  "$program" > "$data/log" 2>&1 &
pid=$!
for _ in $(seq 1 60); do
  sleep 0.5
  xdotool search --name "^Kavo Pursekeep" > /dev/null 2>&1 && break
done
xdotool search --name "^Kavo Pursekeep" > /dev/null || { echo "FAIL: the main window did not show"; cat "$data/log"; exit 1; }
sleep 2
if grep -E "libLLVM|swrast_dri|libGLX_mesa|libEGL_mesa" "/proc/$pid/maps" > "$data/gl"; then
  echo "FAIL: the idle program maps an OpenGL driver:"
  awk '{print $6}' "$data/gl" | sort -u
  exit 1
fi
if grep -q "libQt6WebEngineCore" "/proc/$pid/maps"; then
  echo "FAIL: the idle program maps the web engine"
  exit 1
fi
# Nor the print system: the printer is set up the first time it is needed.
if grep -q "libcups" "/proc/$pid/maps"; then
  echo "FAIL: the idle program maps the print system"
  exit 1
fi
echo "idle without the web engine or an OpenGL driver: $(grep -E 'VmRSS' "/proc/$pid/status" | tr -s ' \t' ' ')"

# Help > Contents, from the keyboard.
xdotool mousemove 600 400 click 1
sleep 0.5
xdotool key alt+h
sleep 0.5
xdotool key c
for _ in $(seq 1 60); do
  sleep 0.5
  pgrep -P "$pid" -f QtWebEngineProcess > /dev/null && break
done
if ! grep -q "pursekeep-browser.so" "/proc/$pid/maps" || ! pgrep -P "$pid" -f QtWebEngineProcess > /dev/null; then
  echo "FAIL: Help > Contents started no web engine"
  cat "$data/log"
  exit 1
fi
if grep -E "libLLVM|swrast_dri|libGLX_mesa|libEGL_mesa" "/proc/$pid/maps" > "$data/gl"; then
  echo "FAIL: the browser maps an OpenGL driver:"
  awk '{print $6}' "$data/gl" | sort -u
  exit 1
fi
echo "browsing without an OpenGL driver: $(grep -E 'VmRSS' "/proc/$pid/status" | tr -s ' \t' ' ')"
