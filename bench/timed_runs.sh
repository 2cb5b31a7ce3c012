# Shared by the bench/run_*_bench.sh scripts (sourced, POSIX sh).
#
# run_in_turns WORK RUNS KIND...: each KIND's command ($KIND_command) once per
# run, the kinds taking turns so that all see the same machine, each in a
# process of its own under /usr/bin/time -v, so that its peak resident memory
# is its own. Output goes to WORK/KIND.out, the timing to WORK/KIND.RUN.time.
run_in_turns() {
    turns_work=$1
    turns_runs=$2
    shift 2
    for run in $(seq "$turns_runs"); do
        for kind in "$@"; do
            eval "command=\$${kind}_command"
            # shellcheck disable=SC2086,SC2154
            /usr/bin/time -v $command >"$turns_work/$kind.out" 2>"$turns_work/$kind.$run.time" ||
                { cat "$turns_work/$kind.$run.time"; exit 1; }
        done
    done
}
