#!/usr/bin/env bash
# Times varnholt-convert on 1,000,000 generated rows (about 150 MB) beside cp
# of the same file, and measures its peak memory on 1,000 and 1,000,000 rows.
#
#   bench/run.sh            build if needed, generate (or reuse) the data, measure
#
# Environment: BENCH_DIR (data folder, default /tmp/varnholt-bench),
# BENCH_BUILD (release build folder, default build/bench), BENCH_RUNS (timed
# runs, default 5), BENCH_SEED (generator seed, default 1), BENCH_TIMER
# (hyperfine or time; default hyperfine when installed), BENCH_FORMS (other
# input forms measured after the 17-column CSV, from the same rows rewritten by
# bench/other_forms.py: "quoted json" for the wide quoted CSV and JSON;
# default none).
# Needs: cmake, g++, python3 (standard library only), hyperfine (optional;
# falls back to GNU time), time (GNU time, /usr/bin/time; installed when
# missing).
# Exit status 1 when a target is missed: 2,000,000 rows per second of CPU
# time (user + system: one core, not inflated by other processes); peak RSS
# under 10 MB; 1,000 and 1,000,000 rows within 1 MB of each other; for each
# of BENCH_FORMS, the CSV's TLE file byte for byte and the same memory limits.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BENCH_BUILD:-$root/build/bench}
data=${BENCH_DIR:-/tmp/varnholt-bench}
runs=${BENCH_RUNS:-5}
timer=${BENCH_TIMER:-$(command -v hyperfine >/dev/null && echo hyperfine || echo time)}
seed=${BENCH_SEED:-1}
python=/usr/bin/python3
converter=$build/cli/varnholt-convert
big_rows=1000000
small_rows=1000

[[ -x /usr/bin/time ]] || "$root/scripts/deps.sh" time

echo "== release build ($build)"
if [[ ! -f $build/CMakeCache.txt ]]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release \
        -DVARNHOLT_BUILD_GUI=OFF -DVARNHOLT_BUILD_TESTS=OFF >/dev/null
fi
cmake --build "$build" -j2 --target varnholt-convert 2>&1 | tail -n 1

mkdir -p "$data"
generate() { # rows -> path of the CSV file, generated once per row count and seed
    local rows=$1 path="$data/rows-$1-seed-$seed.csv"
    if [[ ! -s $path ]]; then
        echo "== generating $rows rows into $path" >&2
        "$python" "$root/bench/generate_rows.py" --rows "$rows" --seed "$seed" >"$path.part"
        mv "$path.part" "$path"
    fi
    echo "$path"
}
big=$(generate $big_rows)
small=$(generate $small_rows)
bytes=$(stat -c %s "$big")
echo "input: $big ($big_rows rows, $bytes bytes)"

cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)
echo "machine: $cpu, $(nproc) cores, $(uname -r); load average $(cut -d' ' -f1-3 /proc/loadavg)"

# Prints: wall user sys (seconds) for one command, mean over the runs.
timing() {
    if [[ $timer == hyperfine ]]; then
        local json
        json=$(mktemp)
        hyperfine --style basic --warmup 1 --runs "$runs" --export-json "$json" "$1" >&2
        "$python" -c 'import json, sys
r = json.load(open(sys.argv[1]))["results"][0]
print(r["mean"], r["user"], r["system"], r["stddev"] or 0)' "$json"
        rm -f "$json"
    else
        local i
        for ((i = 0; i < runs; i++)); do
            /usr/bin/time -f '%e %U %S' bash -c "$1 >/dev/null" 2>&1 | tail -n 1
        done | "$python" -c 'import sys
t = [list(map(float, l.split())) for l in sys.stdin if l.strip()]
wall = [r[0] for r in t]
mean = sum(wall) / len(wall)
sd = (sum((w - mean) ** 2 for w in wall) / max(len(wall) - 1, 1)) ** 0.5
print(*(sum(c) / len(t) for c in zip(*t)), sd)'
    fi
}

echo "== timing ($runs runs each, $timer)"
read -r conv_wall conv_user conv_sys conv_sd < <(timing "$converter $big")
read -r cp_wall cp_user cp_sys cp_sd < <(timing "cp $big $data/copy.csv")
rm -f "$data/copy.csv"

peak_kb() { # command... -> maximum resident set size in kB
    /usr/bin/time -v "$@" 2>&1 >/dev/null | sed -n 's/.*Maximum resident set size (kbytes): //p'
}
echo "== peak memory"
rss_small=$(peak_kb "$converter" "$small")
rss_big=$(peak_kb "$converter" "$big")
tle_bytes=$(stat -c %s "${big%.csv}.TLE")

"$python" - "$big_rows" "$bytes" "$tle_bytes" "$conv_wall" "$conv_user" "$conv_sys" "$conv_sd" \
    "$cp_wall" "$cp_user" "$cp_sys" "$rss_small" "$rss_big" "$converter" <<'EOF' || status=1
import sys
(rows, size, tle, wall, user, system, sd, cp_wall, cp_user, cp_sys,
 rss_small, rss_big) = map(float, sys.argv[1:13])
mb = size / 1e6
speed = rows / wall
cpu_speed = rows / (user + system)
print()
print(f"| {int(rows):,} rows, {mb:.0f} MB CSV → {tle / 1e6:.0f} MB TLE | wall | user | sys "
      f"| rows/s (wall) | rows/s (CPU) | MB/s (wall) |")
print("|---|---:|---:|---:|---:|---:|---:|")
print(f"| `varnholt-convert` | {wall:.3f} s ± {sd:.3f} | {user:.3f} s | {system:.3f} s "
      f"| {speed / 1e6:.2f} M | {cpu_speed / 1e6:.2f} M | {mb / wall:.0f} |")
print(f"| `cp` of the same file | {cp_wall:.3f} s | {cp_user:.3f} s | {cp_sys:.3f} s "
      f"| — | — | {mb / cp_wall:.0f} |")
print()
print("| Peak memory (maximum resident set size) | 1,000 rows | 1,000,000 rows | difference |")
print("|---|---:|---:|---:|")
print(f"| `varnholt-convert` | {rss_small / 1024:.1f} MB | {rss_big / 1024:.1f} MB "
      f"| {rss_big - rss_small:.0f} kB |")
print()
checks = [
    # One core: user + system time, which other processes on a shared
    # machine do not inflate; the wall-clock rate is in the table.
    (f"speed {cpu_speed:,.0f} rows/s of CPU time, {speed:,.0f} rows/s wall "
     f"(target 2,000,000)", cpu_speed >= 2e6),
    (f"peak RSS {max(rss_small, rss_big) / 1024:.1f} MB (target under 10 MB)",
     max(rss_small, rss_big) < 10 * 1024),
    (f"1,000 vs 1,000,000 rows {abs(rss_big - rss_small):.0f} kB apart (target under 1 MB)",
     abs(rss_big - rss_small) < 1024),
]
for text, ok in checks:
    print(("met:    " if ok else "MISSED: ") + text)
sys.exit(0 if all(ok for _, ok in checks) else 1)
EOF

# The other forms: the same rows rewritten, each converted to a TLE file of its own.
forms=(${BENCH_FORMS:-})
[[ ${#forms[@]} -gt 0 ]] || exit "${status:-0}"
rewrite() { # form rows-csv -> path of the rewritten file, made once
    local form=$1 csv=$2 extension=csv path
    [[ $form == json ]] && extension=json
    path="${csv%.csv}-$form.$extension"
    if [[ ! -s $path ]]; then
        echo "== writing $path" >&2
        "$python" "$root/bench/other_forms.py" --form "$form" <"$csv" >"$path.part"
        mv "$path.part" "$path"
    fi
    echo "$path"
}
expected=$(sha256sum <"${big%.csv}.TLE")
echo
echo "| 1,000,000 rows, other forms | input | wall | user | sys | rows/s (CPU) | peak RSS, 1,000 / 1,000,000 rows |"
echo "|---|---:|---:|---:|---:|---:|---:|"
for form in "${forms[@]}"; do
    form_big=$(rewrite "$form" "$big")
    form_small=$(rewrite "$form" "$small")
    output="$data/out-$form.TLE"
    read -r f_wall f_user f_sys f_sd < <(timing "$converter -o $output $form_big")
    f_rss_small=$(peak_kb "$converter" -o "$output" "$form_small")
    f_rss_big=$(peak_kb "$converter" -o "$output" "$form_big")
    same=yes
    [[ $(sha256sum <"$output") == "$expected" ]] || same=no
    "$python" - "$form" "$(stat -c %s "$form_big")" "$f_wall" "$f_user" "$f_sys" "$f_sd" \
        "$f_rss_small" "$f_rss_big" "$big_rows" "$same" <<'EOF' || status=1
import sys
form, size = sys.argv[1], float(sys.argv[2])
wall, user, system, sd, rss_small, rss_big, rows = map(float, sys.argv[3:10])
print(f"| {form} | {size / 1e6:.0f} MB | {wall:.3f} s ± {sd:.3f} | {user:.3f} s | {system:.3f} s "
      f"| {rows / (user + system) / 1e6:.2f} M | {rss_small / 1024:.1f} / {rss_big / 1024:.1f} MB |")
problems = []
if sys.argv[10] != "yes":
    problems.append("a TLE file other than the CSV's")
if max(rss_small, rss_big) >= 10 * 1024 or abs(rss_big - rss_small) >= 1024:
    problems.append("memory over 10 MB, or growing with the input")
for problem in problems:
    print(f"MISSED: {form}: {problem}")
sys.exit(1 if problems else 0)
EOF
done
exit "${status:-0}"
