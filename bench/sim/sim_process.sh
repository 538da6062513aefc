#!/usr/bin/env bash
# gravitas-sim as a whole process: BODIES bodies x 1000 semi-implicit Euler pushes (100 frames
# of 10, one force evaluation each, G = 1), the scalar pair loop on one thread against the
# vectorised pass on one thread and on every core, all in the same run. A run of no frames
# gives the fixed part (start-up, loading the scenario, printing the state); the rest is pushing.
# Wall time is the best of REPEATS runs; processor time (user + system) is shown beside it,
# because on a shared machine the wall clock also counts other processes.
# With BEFORE=<another gravitas-sim> the fixed part and the all-core run are also timed with
# that binary, in the same run, and both binaries' shared-library counts (ldd) are shown.
# Usage: [BEFORE=path] bench/sim/sim_process.sh [BUILD_DIR] [BODIES] [REPEATS]
set -euo pipefail
HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
BUILD="${1:-$HERE/../../build}"
BODIES="${2:-1000}"
REPEATS="${3:-5}"
SIM="$BUILD/tools/gravitas-sim/gravitas-sim"
SCENARIO="$(mktemp --suffix=.json)"
trap 'rm -f "$SCENARIO"' EXIT
python3 "$HERE/make_cluster_scenario.py" "$BODIES" 10 >"$SCENARIO"

# "wall cpu" of the run with the best wall time among REPEATS, in seconds.
best_of() { best_of_binary "$SIM" "$@"; }
best_of_binary() {
    local binary=$1 frames=$2 best="" bestCpu="" line wall cpu
    shift 2
    for ((r = 0; r < REPEATS; ++r)); do
        line=$( { /usr/bin/env time -f "%e %U %S" env "$@" "$binary" "$SCENARIO" --frames "$frames" >/dev/null; } 2>&1 | tail -1)
        wall=$(awk '{print $1}' <<<"$line")
        cpu=$(awk '{printf "%.2f", $2 + $3}' <<<"$line")
        if [[ -z "$best" ]] || awk "BEGIN{exit !($wall < $best)}"; then best=$wall bestCpu=$cpu; fi
    done
    echo "$best $bestCpu"
}

row() {  # label, "wall cpu", baseline "wall cpu" (none: no ratio), baseline's name (scalar)
    awk -v label="$1" -v run="$2" -v s="${3:-}" -v base="${4:-scalar}" 'BEGIN{split(run, t, " "); split(s, b, " ");
        printf "%-26s %6.2f s wall %6.2f s cpu", label, t[1], t[2];
        if (s != "") printf "  %5.2fx %s wall %5.2fx %s cpu", b[1] / t[1], base, b[2] / t[2], base;
        printf "\n"}'
}

echo "load: $(uptime)"
fixed=$(best_of 0)
scalar=$(best_of 100 GRAVITAS_PAIR_PASS=scalar GRAVITAS_THREADS=1)
one=$(best_of 100 GRAVITAS_THREADS=1)
all=$(best_of 100 GRAVITAS_THREADS="$(nproc)")
if [[ -n "${BEFORE:-}" ]]; then
    beforeFixed=$(best_of_binary "$BEFORE" 0)
    beforeAll=$(best_of_binary "$BEFORE" 100 GRAVITAS_THREADS="$(nproc)")
fi
echo "bodies=$BODIES pushes=1000 best of $REPEATS"
row "start-up, load, output" "$fixed"
row "scalar, 1 thread" "$scalar" "$scalar"
row "simd, 1 thread" "$one" "$scalar"
row "simd, $(nproc) threads" "$all" "$scalar"
awk -v t="$(awk '{print $1}' <<<"$all")" -v f="$(awk '{print $1}' <<<"$fixed")" 'BEGIN{
    printf "pushing alone (simd, all threads, less the fixed part): %.2f s\n", t - f;
    printf "reference quoted for a general-purpose direct-summation library on this machine: 2.5 s (%.1fx ours)\n", 2.5 / t}'
if [[ -n "${BEFORE:-}" ]]; then
    echo "before: $BEFORE"
    row "before: start-up, output" "$beforeFixed"
    row "now: start-up, output" "$fixed" "$beforeFixed" before
    row "before: simd, $(nproc) threads" "$beforeAll"
    row "now: simd, $(nproc) threads" "$all" "$beforeAll" before
    echo "shared libraries (ldd): before $(ldd "$BEFORE" | wc -l), now $(ldd "$SIM" | wc -l)"
fi
