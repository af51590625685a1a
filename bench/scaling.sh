#!/bin/sh
# The scaling table of bench/README.md: game_bench on N x N mazes, turning, pinned to two
# processors, each size run RUNS times (default 3); prints the median frame rate with the
# triangle count and the peak memory per triangle.
#   bench/scaling.sh BUILD/bench/game_bench [sizes...]
set -eu
bench=${1:?usage: scaling.sh path/to/game_bench [sizes...]}
shift
sizes=${*:-16 64 128 256 512 1000}
runs=${RUNS:-3}
printf '| cells | triangles | fps (median of %s) | peak memory per triangle |\n|---|---|---|---|\n' "$runs"
for n in $sizes; do
  i=0
  while [ $i -lt "$runs" ]; do
    taskset -c 0,1 "$bench" --maze="$n" --benchmark_filter=Turning --benchmark_min_time=2 2>/dev/null | grep '^BM_'
    i=$((i + 1))
  done | awk '
    # Counters come as 1.5k/s, 16.4k, 4.0M: back to plain numbers.
    function num(v) { x = v + 0; if (v ~ /k/) x *= 1e3; if (v ~ /M/) x *= 1e6; return x }
    { for (k = 1; k <= NF; ++k) { split($k, kv, "=");
        if (kv[1] == "fps") f = num(kv[2]); if (kv[1] == "triangles") t = num(kv[2]);
        if (kv[1] == "peak_B/tri") m = num(kv[2]) }
      print f, t, m }' | sort -n | awk -v n="$n" '
    { f[NR] = $1; t = $2; m = $3 }
    END { med = NR % 2 ? f[(NR + 1) / 2] : (f[NR / 2] + f[NR / 2 + 1]) / 2;
          printf "| %s | %d | %.1f | %.0f B |\n", n, t, med, m }'
done
