#!/bin/sh
# Runs a test program in a network namespace and mount namespace of its own, so that nothing it
# sends can leave this machine. Inside: loopback; a veth pair v0/v1 where v0 has fd77::1/64 and
# fd77::2 is a neighbour that never answers (a connection to it neither succeeds nor fails);
# 2001:db8::/32 is unreachable (a connection to it fails at once); host names of the test in
# /etc/hosts; the resolver asks 127.0.0.1, where the test answers as it likes, or nobody does.
# Needs root (CI runs as root); without it the test fails with unshare's reason.
set -e
if [ "$VREL_IN_PRIVATE_NETWORK" != 1 ]; then
    export VREL_IN_PRIVATE_NETWORK=1
    exec unshare --net --mount --propagation private "$0" "$@"
fi

ip link set lo up
ip link add v0 type veth peer name v1
ip link set v0 up
ip link set v1 up
ip -6 addr add fd77::1/64 dev v0 nodad
ip -6 neigh add fd77::2 lladdr 02:00:00:00:00:02 dev v0
ip -6 route add unreachable 2001:db8::/32

files=$(mktemp -d)
cat > "$files/hosts" <<HOSTS
127.0.0.1 localhost
::1 localhost6
fd77::2 vrel-hangs-then-ipv4.test
127.0.0.1 vrel-hangs-then-ipv4.test
::1 vrel-refused-then-ipv4.test
127.0.0.1 vrel-refused-then-ipv4.test
HOSTS
printf 'nameserver 127.0.0.1\noptions timeout:4 attempts:1\n' > "$files/resolv.conf"
mount --bind "$files/hosts" /etc/hosts
mount --bind "$files/resolv.conf" /etc/resolv.conf
set +e
"$@"
status=$?
rm -rf "$files"
exit $status
