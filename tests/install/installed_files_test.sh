#!/usr/bin/env bash
# An installed copy holds exactly its programs, desktop entry, icons, metainfo, manual pages,
# copyright file and the host's units; the installed programs answer --help, --version and unknown
# options, pack and unpack, and the host stops cleanly on SIGTERM; Debian's validators accept the
# desktop entry and the metainfo, systemd the units.
source "$(dirname "$0")/install_helpers.sh"

root=$work/root
install_into "$root"
bin=$root/usr/bin
share=$root/usr/share

expected="usr/bin/vrel
usr/bin/vrel-host
usr/bin/vrel-pack
usr/lib/systemd/system/vrel-host.service
usr/lib/systemd/system/vrel-host@.service
usr/lib/systemd/system/vrel-host@.socket
usr/share/applications/vrel.desktop
usr/share/doc/vrel/copyright
usr/share/icons/hicolor/128x128/apps/vrel.png
usr/share/icons/hicolor/256x256/apps/vrel.png
usr/share/icons/hicolor/48x48/apps/vrel.png
usr/share/icons/hicolor/64x64/apps/vrel.png
usr/share/man/man6/vrel-host.6.gz
usr/share/man/man6/vrel-pack.6.gz
usr/share/man/man6/vrel.6.gz
usr/share/metainfo/com.kovren.vrel.metainfo.xml"
installed=$(cd "$root" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort)
[ "$installed" = "$expected" ] || fail "installed files differ:$(diff <(echo "$expected") <(echo "$installed") || true)"

# The command lines. --help and --version need no display.
for program in vrel vrel-host vrel-pack; do
  [ -x "$bin/$program" ] || { fail "$program is not installed"; continue; }
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$bin/$program" --version) || fail "$program --version: exit $?"
  [ "$out" = "$program $version" ] || fail "$program --version printed '$out'"
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$bin/$program" --help 2>"$work/err") || fail "$program --help: exit $?"
  [[ $out == Usage:\ $program* && $out == *--version* ]] || fail "$program --help printed '$out'"
  [ -s "$work/err" ] && fail "$program --help wrote to stderr: $(cat "$work/err")"
  set +e
  out=$("$bin/$program" --no-such-option 2>"$work/err")
  status=$?
  set -e
  [ "$status" -eq 2 ] || fail "$program with an unknown option: exit $status, not 2"
  [ -z "$out" ] || fail "$program with an unknown option wrote to stdout: $out"
  grep -q "^$program: Unknown option: --no-such-option" "$work/err" || fail "$program with an unknown option said: $(cat "$work/err")"
done
help=$("$bin/vrel" -h)
for part in "NAME HOST true" "NAME HOST x" "--port N" "VREL_HOME"; do
  [[ $help == *"$part"* ]] || fail "vrel --help does not mention '$part'"
done

# vrel-pack round trip, with each coder.
seq 1 4000 > "$work/plain.txt"
for mode in --fast --good; do
  "$bin/vrel-pack" c $mode "$work/plain.txt" "$work/packed.tld" >/dev/null || fail "vrel-pack c $mode: exit $?"
  "$bin/vrel-pack" d "$work/packed.tld" "$work/unpacked.txt" >/dev/null || fail "vrel-pack d: exit $?"
  cmp -s "$work/plain.txt" "$work/unpacked.txt" || fail "vrel-pack $mode did not give the file back"
  [ "$(stat -c %s "$work/packed.tld")" -lt "$(stat -c %s "$work/plain.txt")" ] || fail "vrel-pack $mode did not pack"
  rm -f "$work/packed.tld" "$work/unpacked.txt"
done

# The host listens on a free port and stops cleanly on SIGTERM.
(cd "$work" && exec "$bin/vrel-host" --port 0 2>"$work/host.log") &
host=$!
pids+=("$host")
wait_for 20 grep -q "listening on port" "$work/host.log" || fail "vrel-host did not listen: $(cat "$work/host.log")"
kill -TERM "$host"
set +e
wait "$host"
status=$?
set -e
[ "$status" -eq 0 ] || fail "vrel-host ended with $status on SIGTERM"
grep -q "vrel-host: stopped" "$work/host.log" || fail "vrel-host did not stop cleanly: $(cat "$work/host.log")"

# Debian's validators and the icons' sizes.
desktop-file-validate "$share/applications/vrel.desktop" || fail "desktop-file-validate"
grep -qx "Icon=vrel" "$share/applications/vrel.desktop" || fail "the desktop entry names another icon"
# A clicked vrel:// invite link starts the game with the link as its parameter.
grep -qx "MimeType=x-scheme-handler/vrel;" "$share/applications/vrel.desktop" || fail "the desktop entry does not take vrel:// links"
grep -qx "Exec=vrel %u" "$share/applications/vrel.desktop" || fail "the desktop entry does not hand the link on"
appstreamcli validate --no-net "$share/metainfo/com.kovren.vrel.metainfo.xml" >"$work/appstream.log" 2>&1 \
  || fail "appstreamcli validate: $(cat "$work/appstream.log")"
for size in 48 64 128 256; do
  png=$share/icons/hicolor/${size}x${size}/apps/vrel.png
  header=$(od -An -tx1 -j12 -N12 "$png" | tr -d ' \n')
  printf -v want '49484452%08x%08x' "$size" "$size"
  [ "$header" = "$want" ] || fail "$png is not a ${size} by ${size} PNG ($header)"
done
for page in "$share"/man/man6/*.6.gz; do
  warnings=$(zcat "$page" | groff -man -Tutf8 -ww -z 2>&1) || fail "$page: groff failed: $warnings"
  [ -z "$warnings" ] || fail "$page: $warnings"
done

# The host's units: a game per port from the template (and its socket), the game's own port from
# vrel-host.service. systemd checks them as installed: every setting, the program they start and
# the manual page they name. It reads them under a root of their own, beside the system's units
# that they name (targets); MANPATH leads it to the installed manual page.
units=$root/usr/lib/systemd/system
grep -qx "ExecStart=/usr/bin/vrel-host --port 7772" "$units/vrel-host.service" || fail "vrel-host.service starts another program"
grep -qx "ExecStart=/usr/bin/vrel-host --port %i" "$units/vrel-host@.service" || fail "vrel-host@.service starts another program"
system=$work/system
mkdir -p "$system/usr/bin" "$system/usr/lib/systemd"
cp -a /usr/lib/systemd/system "$system/usr/lib/systemd/"
cp "$units"/vrel-host* "$system/usr/lib/systemd/system/"
cp "$bin/vrel-host" "$system/usr/bin/"
if MANPATH=$share/man systemd-analyze verify --root="$system" vrel-host.service vrel-host@7773.service vrel-host@7773.socket \
  >"$work/verify.log" 2>&1; then
  [ -s "$work/verify.log" ] && fail "systemd-analyze verify warns: $(cat "$work/verify.log")"
else
  fail "systemd-analyze verify: $(cat "$work/verify.log")"
fi

finish
