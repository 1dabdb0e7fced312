#!/usr/bin/env bash
# Runs a command inside a private network of its own, so that discovery and router tests never
# send a packet to any real network: a new network and mount namespace (unshare, as root) with
# loopback and a veth pair to a router namespace: 10.77.0.2/24 (v1) here, 10.77.0.1/24 (v0) on
# the router, which is the default gateway. The router's second pair wan0/wan1 stands for the
# internet (11.77.0.7 on wan0; its far end leads nowhere). A private /run holds a system D-Bus
# and an Avahi daemon of the lab's own, and, unless told otherwise, miniupnpd answers NAT-PMP and
# UPnP-IGD on v0 with wan0 as its outside.
#
#   network_lab.sh [--no-router] [--no-avahi] COMMAND [ARGS...]
#
# Inside, VREL_NETWORK_LAB=1, VREL_LAB_LEASES names miniupnpd's lease file, VREL_LAB_ROUTER_LOG
# its log and VREL_LAB_ROUTER_NS the process that holds the router's namespace (a test runs a
# router of its own there with `nsenter -t "$VREL_LAB_ROUTER_NS" -n PROGRAM`, usually with
# --no-router). The command's exit status is the script's. A machine where the lab cannot be
# made fails with the reason.
#
# Nothing outlives the lab: everything runs in a process namespace of its own whose first
# process is this script, so when the script ends, however it ends (the command done, killed or
# timed out, or the script itself killed), the kernel ends every daemon and program left in it.
set -uo pipefail

router=1
avahi=1
while [ $# -gt 0 ]; do
  case "$1" in
    --no-router) router=0; shift ;;
    --no-avahi) avahi=0; shift ;;
    *) break ;;
  esac
done
[ $# -gt 0 ] || { echo "usage: $0 [--no-router] [--no-avahi] COMMAND [ARGS...]" >&2; exit 2; }

fail() { echo "network lab: $*" >&2; exit 1; }

if [ "${VREL_INSIDE_LAB:-}" != 1 ]; then
  [ "$(id -u)" -eq 0 ] || fail "needs root to make a network namespace (unshare -n); CI runs as root"
  for tool in unshare setpriv ip; do
    command -v "$tool" >/dev/null || fail "$tool is missing (tools/install-deps installs it)"
  done
  args=()
  [ $router = 0 ] && args+=(--no-router)
  [ $avahi = 0 ] && args+=(--no-avahi)
  # However this script ends, the lab ends with it: unshare is killed when this script dies
  # (--pdeathsig, also on SIGKILL), the script inside when unshare dies (--kill-child), and with
  # that script the whole process namespace. unshare ignores SIGTERM and SIGINT while it waits,
  # so this script takes them.
  VREL_INSIDE_LAB=1 setpriv --pdeathsig KILL unshare -n -m -p --fork --kill-child --mount-proc \
    --propagation private bash "$0" "${args[@]}" "$@" <&0 &
  inside=$!
  trap 'kill -KILL $inside 2>/dev/null; wait $inside; exit 143' TERM
  trap 'kill -KILL $inside 2>/dev/null; wait $inside; exit 130' INT
  wait $inside
  exit $?
fi

# The daemons are asked to stop when the command ends, so that they end as they would on a
# machine; whatever is still running when the script ends is killed with the namespace.
pids=()
stop_daemons() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  for pid in "${pids[@]}"; do
    for _ in $(seq 20); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  done
}
trap stop_daemons EXIT
# The script is the namespace's first process, which ignores signals it has no handler for.
trap 'exit 143' TERM
trap 'exit 130' INT

ip link set lo up || fail "cannot bring up loopback in the namespace"
# The router lives in a namespace of its own, as a real router is a machine of its own: its
# outside address must not be one of the host's.
unshare -n sleep infinity & router_ns=$!
pids+=($router_ns)
sleep 0.1
in_router() { nsenter -t "$router_ns" -n "$@"; }
ip link add v0 type veth peer name v1 || fail "cannot make a veth pair (is the veth module there?)"
ip link set v0 netns "$router_ns" || fail "cannot move the router's end into its namespace"
ip addr add 10.77.0.2/24 dev v1
ip link set v1 up
in_router ip link set lo up
in_router ip addr add 10.77.0.1/24 dev v0
in_router ip link set v0 up
in_router ip link add wan0 type veth peer name wan1
in_router ip addr add 11.77.0.7/24 dev wan0
in_router ip link set wan0 up
in_router ip link set wan1 up
# The router is the gateway, so NAT-PMP finds it, and SSDP reaches it on v1.
ip route add default via 10.77.0.1 dev v1 || fail "cannot set the lab's default route"

mount -t tmpfs none /run || fail "cannot mount a private /run"
mkdir -p /run/dbus /run/avahi-daemon /run/miniupnpd

if [ $avahi = 1 ]; then
  command -v dbus-daemon >/dev/null || fail "dbus-daemon is missing (package dbus)"
  command -v avahi-daemon >/dev/null || fail "avahi-daemon is missing (package avahi-daemon)"
  dbus-daemon --system --nofork --nopidfile & pids+=($!)
  for _ in $(seq 50); do [ -S /run/dbus/system_bus_socket ] && break; sleep 0.1; done
  [ -S /run/dbus/system_bus_socket ] || fail "the lab's system bus did not start"
  # The machine's settings, with room for more records than the 4,096 a daemon keeps by default:
  # a test's flood of services then reaches the browsers whole instead of stopping at the daemon.
  sed -e 's/^#\?cache-entries-max=.*/cache-entries-max=16384/' /etc/avahi/avahi-daemon.conf > /run/avahi-daemon/lab.conf
  grep -q '^cache-entries-max=16384' /run/avahi-daemon/lab.conf || fail "cannot set the lab's Avahi cache size"
  avahi-daemon --no-drop-root --no-chroot --no-rlimits -f /run/avahi-daemon/lab.conf >/run/avahi-daemon/log 2>&1 & pids+=($!)
  for _ in $(seq 100); do grep -q 'Server startup complete' /run/avahi-daemon/log && break; sleep 0.1; done
  grep -q 'Server startup complete' /run/avahi-daemon/log || fail "the lab's Avahi daemon did not start: $(cat /run/avahi-daemon/log)"
fi

export VREL_LAB_LEASES=/run/miniupnpd/leases
export VREL_LAB_ROUTER_LOG=/run/miniupnpd/log
if [ $router = 1 ]; then
  command -v miniupnpd >/dev/null || fail "miniupnpd is missing (packages miniupnpd, miniupnpd-nftables)"
  command -v nft >/dev/null || fail "nft is missing (package nftables)"
  # The chains miniupnpd fills, in the lab's own nftables.
  in_router nft -f - <<'NFT' || fail "cannot make the router's nftables chains"
table inet miniupnpd {
  chain forward { type filter hook forward priority 0; policy drop; jump miniupnpd; }
  chain miniupnpd { }
  chain prerouting { type nat hook prerouting priority -100; policy accept; jump prerouting_miniupnpd; }
  chain postrouting { type nat hook postrouting priority 100; policy accept; jump postrouting_miniupnpd; }
  chain prerouting_miniupnpd { }
  chain postrouting_miniupnpd { }
}
NFT
  cat > /run/miniupnpd/miniupnpd.conf <<CONF
ext_ifname=wan0
listening_ip=v0
port=0
enable_natpmp=yes
enable_upnp=yes
secure_mode=yes
system_uptime=yes
min_lifetime=1
lease_file=$VREL_LAB_LEASES
uuid=3c1d0b9e-7a77-4e21-9b1e-7e1a77000001
upnp_table_name=miniupnpd
upnp_nat_table_name=miniupnpd
upnp_forward_chain=miniupnpd
upnp_nat_chain=prerouting_miniupnpd
upnp_nat_postrouting_chain=postrouting_miniupnpd
allow 1024-65535 10.77.0.0/24 1024-65535
deny 0-65535 0.0.0.0/0 0-65535
CONF
  : > "$VREL_LAB_LEASES"
  in_router miniupnpd -f /run/miniupnpd/miniupnpd.conf -d -P /run/miniupnpd/pid >"$VREL_LAB_ROUTER_LOG" 2>&1 & pids+=($!)
  for _ in $(seq 50); do grep -q 'Listening for NAT-PMP' "$VREL_LAB_ROUTER_LOG" && break; sleep 0.1; done
  grep -q 'Listening for NAT-PMP' "$VREL_LAB_ROUTER_LOG" || fail "the lab's router did not start: $(cat "$VREL_LAB_ROUTER_LOG")"
fi

export VREL_NETWORK_LAB=1 VREL_LAB_ROUTER_NS=$router_ns
"$@"
