# wait_for TENTHS COMMAND...: runs COMMAND every tenth of a second until it
# succeeds (status 0) or TENTHS tries have failed (status 1). Sourced by the
# Windows stage and its end-to-end scripts.
wait_for() {
  local n=$1 k
  shift
  for ((k = 0; k < n; k++)); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  return 1
}
