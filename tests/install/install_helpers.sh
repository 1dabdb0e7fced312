# Sourced by the install tests: $1 cmake, $2 the build folder, $3 the version.
set -euo pipefail
cmake_command=$1
build=$2
version=$3
work=$(mktemp -d)
failures=0
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill -KILL "$pid" 2>/dev/null || true; done
  chmod -R u+w "$work" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

finish() {
  [ "$failures" -eq 0 ] && echo "all checks passed" && exit 0
  echo "$failures check(s) failed" >&2
  exit 1
}

# Installs the build under the prefix /usr into the folder $1, as a package would.
install_into() {
  DESTDIR=$1 "$cmake_command" --install "$build" --prefix /usr >/dev/null
}

# Waits until the command succeeds, for at most $1 seconds.
wait_for() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.05
  done
}
