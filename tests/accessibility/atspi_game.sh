#!/usr/bin/env bash
# The game as a screen reader meets it: the real program on an X server of its own (Xvfb) and a
# D-Bus session of its own (with the desktop's accessibility bus in it), Qt's accessibility forced
# on, and a client of AT-SPI (tests/accessibility/atspi_game.py) that finds the board, reads a
# masked word, presses START GAME through its "Press" action, types an answer and hears it
# accepted. Nothing is left running; nothing of this machine's own desktop is touched.
#   atspi_game.sh VREL WORD_POOL [FOLDER]   (FOLDER, or VREL_SCREENSHOTS: where the accessibility
#                                            tree is written as accessibility-tree.txt)
set -euo pipefail
vrel=$1
pool=$2
dump=${3:-${VREL_SCREENSHOTS:-}}
here=$(cd "$(dirname "$0")" && pwd)
for tool in Xvfb dbus-run-session xdotool /usr/bin/python3; do
  command -v "$tool" >/dev/null || { echo "atspi_game: $tool is missing (tools/install-deps installs it)" >&2; exit 1; }
done

work=$(mktemp -d)
xvfb=
cleanup() {
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display and writes its number on descriptor 3.
Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
[ -s "$work/display" ] || { echo "atspi_game: Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"

# Under the sanitizers the desktop's own libraries keep what they allocate until the end. The
# leak checker reads these suppressions; the address sanitizer's own would refuse "leak:" lines.
# On a real X server xkbcommon copies the keymap's names with strndup() from buffers that are not
# NUL-terminated (reading no further than it may), which strict string checks take for an overflow.
if [ -n "${ASAN_OPTIONS:-}" ]; then
  export ASAN_OPTIONS="$ASAN_OPTIONS:strict_string_checks=0"
  export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$here/desktop_libraries.supp"
fi

export XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_CACHE_HOME="$work/cache"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
dbus-run-session -- /usr/bin/python3 "$here/atspi_game.py" "$vrel" "$pool" "$work" "$dump"
