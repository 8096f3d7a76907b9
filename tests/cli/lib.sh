# Shared by the kovalink tests: a private readersim, and checks of output and
# exit codes. Source it with the build's output folder as $1.
set -uo pipefail
out=$1
kovalink=$out/kovalink
dir=$(mktemp -d)
chmod 700 "$dir"
export TAVOHID_VIRTUAL_DIR=$dir
sim=
failures=0
checks=0
trap 'stop_sim; rm -rf "$dir"' EXIT

# start_sim [readersim options...]: serves a reader in the private folder.
start_sim() {
    "$out/readersim" --dir "$dir" --no-flash-file "$@" <"$dir/fifo" >"$dir/sim.log" 2>&1 &
    sim=$!
    exec 9>"$dir/fifo"  # keeps readersim's standard input open for commands
    for _ in $(seq 200); do grep -q "readersim: serving" "$dir/sim.log" && return 0; sleep 0.05; done
    echo "readersim did not start:"; cat "$dir/sim.log"; exit 1
}
mkfifo "$dir/fifo"

# sim_command LINE: a command to readersim's console (place, remove ...).
sim_command() { echo "$1" >&9; sleep 0.2; }

stop_sim() {
    if [ -n "$sim" ]; then
        kill "$sim" 2>/dev/null; wait "$sim" 2>/dev/null
        exec 9>&-
        sim=
    fi
}

# run ARGS...: runs kovalink; $rc, $dir/stdout and $dir/stderr hold the result.
run() {
    "$kovalink" "$@" >"$dir/stdout" 2>"$dir/stderr"
    rc=$?
}

fail() {
    echo "FAIL: $*"
    echo "  stdout: $(head -c 2000 "$dir/stdout")"
    echo "  stderr: $(head -c 2000 "$dir/stderr")"
    failures=$((failures + 1))
}

# expect RC ARGS...: runs kovalink and checks its exit code.
expect() {
    local want=$1
    shift
    checks=$((checks + 1))
    run "$@"
    [ "$rc" = "$want" ] || fail "kovalink $* exited $rc, expected $want"
}

# stdout_has TEXT / stderr_has TEXT: the last run printed a line containing TEXT.
stdout_has() { checks=$((checks + 1)); grep -qF -- "$1" "$dir/stdout" || fail "stdout lacks '$1'"; }
stderr_has() { checks=$((checks + 1)); grep -qF -- "$1" "$dir/stderr" || fail "stderr lacks '$1'"; }
stdout_lacks() { checks=$((checks + 1)); ! grep -qF -- "$1" "$dir/stdout" || fail "stdout has '$1'"; }

# sent_nothing: readersim's verbose log shows no request since the mark.
mark_log() { marked=$(wc -l <"$dir/sim.log"); }
sent_nothing() {
    checks=$((checks + 1))
    local now
    now=$(wc -l <"$dir/sim.log")
    [ "$now" = "$marked" ] || fail "a request was sent: $(tail -n +$((marked + 1)) "$dir/sim.log")"
}

finish() {
    echo "$((checks - failures)) passed, $failures failed"
    [ "$failures" = 0 ]
}
