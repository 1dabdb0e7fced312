#!/usr/bin/env bash
# The installed game in a read-only program folder keeps its settings and its tally in the
# user's folders and writes nothing beside itself; VREL_HOME still names the folder for them.
# The game is stopped by SIGTERM, which closes it as the player closing its window does.
source "$(dirname "$0")/install_helpers.sh"
export LC_ALL=C
# The game it hosts stays on this computer: not published, no router asked.
export VREL_LOCAL_ONLY=1

root=$work/root
install_into "$root"
bin=$root/usr/bin
chmod -R a-w "$root"
touch "$work/before-runs"
sleep 0.01

# Runs the installed game (a solo game on a free port) with $1 as the user's home, the extra
# environment in the other arguments, until it has logged in; then SIGTERM, and it must end with 0.
run_game() {
  local home=$1 game status
  shift
  mkdir -p "$home/cwd"
  (cd "$home/cwd" && exec env HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" \
    XDG_CACHE_HOME="$home/.cache" XDG_RUNTIME_DIR="$home/run" QT_QPA_PLATFORM=offscreen VREL_STARTUP_TRACE=1 "$@" \
    "$bin/vrel" --port 0 >"$home/game.log" 2>&1) &
  game=$!
  pids+=("$game")
  # The game tells its login (and with it the reading of its settings) when asked to.
  wait_for 30 grep -q "^vrel: startup: logged in" "$home/game.log" ||
    fail "the game's player did not log in: $(cat "$home/game.log")"
  kill -TERM "$game"
  local deadline=$((SECONDS + 30))
  while kill -0 "$game" 2>/dev/null && [ "$SECONDS" -lt "$deadline" ]; do sleep 0.05; done
  kill -0 "$game" 2>/dev/null && { fail "the game did not end on SIGTERM"; return; }
  set +e
  wait "$game"
  status=$?
  set -e
  [ "$status" -eq 0 ] || fail "the game ended with $status on SIGTERM: $(cat "$home/game.log")"
}

# Settings from a smaller screen: the window cannot take their width, so closing it saves the
# settings. The lobby application's section in the same file must survive.
seed_settings() {
  mkdir -p "$(dirname "$1")"
  printf '[Lobby]\r\nNick=Ann\r\n[Vrel]\r\nWidth=100\r\n' >"$1"
}

# The settings file was written by the game: every key, the width the window really had, the
# lobby's section kept.
check_saved_settings() {
  [ -f "$1" ] || { fail "no settings at $1"; return; }
  grep -q "^Textcolor=clBlack" "$1" || fail "the settings at $1 were not saved: $(cat "$1")"
  grep -q "^Width=100" "$1" && fail "the settings at $1 keep the width the window could not take"
  grep -q "^Nick=Ann" "$1" || fail "the lobby's section at $1 was lost"
}

# Installed: the program folder cannot be written, so the user's folders are used.
user=$work/user
seed_settings "$user/.config/Vrel/kovrlobby.ini"
run_game "$user"
check_saved_settings "$user/.config/Vrel/kovrlobby.ini"
[ -f "$user/.local/share/Vrel/Vreltally.tld" ] || fail "no tally in the user's data folder"
"$bin/vrel-pack" d "$user/.local/share/Vrel/Vreltally.tld" "$work/tally.txt" >/dev/null || fail "the tally cannot be unpacked"
written=$(find "$root" -newer "$work/before-runs" | sed "s|^$root||")
[ -z "$written" ] || fail "written into the installed copy: $written"
[ "$(ls -A "$bin" | tr '\n' ' ')" = "vrel vrel-host vrel-pack " ] || fail "the program folder holds: $(ls -A "$bin")"

# VREL_HOME names a writable folder: everything goes there, nothing to the user's folders.
other=$work/other
mkdir -p "$other/vrelhome"
seed_settings "$other/vrelhome/kovrlobby.ini"
run_game "$other" VREL_HOME="$other/vrelhome"
check_saved_settings "$other/vrelhome/kovrlobby.ini"
[ -f "$other/vrelhome/Vreltally.tld" ] || fail "no tally in VREL_HOME"
[ -e "$other/.config/Vrel/kovrlobby.ini" ] && fail "settings written to the user's folder despite VREL_HOME"
[ -e "$other/.local/share/Vrel/Vreltally.tld" ] && fail "tally written to the user's folder despite VREL_HOME"

finish
