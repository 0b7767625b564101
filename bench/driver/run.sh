#!/usr/bin/env bash
# The driver's main road against the raw client loop, measured as whole
# processes in interleaved rounds.
#   bench/driver/run.sh ROUNDS
#       release build (no sanitizers) of the driver, the stand-in host and the
#       raw loops; a server of its own with the benchmark settings; the table
#       of one million rows; ROUNDS rounds, the order of the measures rotated
#       by one place per round; raw lines and a table of medians, ratios to
#       the baselines, peak resident memory and checksums.
#   bench/driver/run.sh --smoke RAW_LOOPS ROAD_BENCH VXMYSQL_SO STANDIN_HOST_SO
#       one round on 10,000 rows with the given programs (the test build),
#       every checksum checked against the raw loops' own.
# Each process runs its measure twice on one connection; the second run
# counts. Fails on a checksum or row-count mismatch. Status 77: no MariaDB
# server here (with CI set, a failure instead).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)

measures=(a c h h-t x x100 y)
# Over the whole table and the 10,000 look-up ids.
readonly full_raw=630751739 full_typed=550894757407 full_lookup_typed=5490988331

smoke=
if [[ ${1:-} == --smoke ]]; then
  (($# == 5)) || { echo "usage: run.sh --smoke RAW_LOOPS ROAD_BENCH VXMYSQL_SO STANDIN_HOST_SO" >&2; exit 2; }
  smoke=1
  raw=$2 bench=$3 driver=$4 host=$5
  rounds=1 rows=10000 lookups=1000
else
  [[ ${1:-} =~ ^[1-9][0-9]?$ ]] || { echo "usage: run.sh ROUNDS | --smoke RAW_LOOPS ROAD_BENCH VXMYSQL_SO STANDIN_HOST_SO" >&2; exit 2; }
  rounds=$1 rows=1000000 lookups=10000
  build=$root/build/release
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVX_SANITIZE=OFF -DVX_TESTS=ON -DVX_BENCH=ON >/dev/null
  cmake --build "$build" -j "${VX_JOBS:-2}" --target raw_loops road_bench vxmysql standin_host
  raw=$build/bench/driver/raw_loops bench=$build/bench/driver/road_bench
  driver=$build/mysql/vxmysql.so host=$build/tests/host/libstandin_host.so
fi

out=$(mktemp -d "${TMPDIR:-/tmp}/vxbench.XXXXXXXX")
server_dir=
stop_server() {
  if [[ -n $server_dir ]]; then "$root/scripts/mariadb" stop "$server_dir" || true; server_dir=; fi
}
trap 'stop_server; if [[ -n $smoke ]]; then rm -rf -- "$out"; fi' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

status=0
env_text=$("$root/scripts/mariadb" start --character-set-server=utf8mb4 --innodb-buffer-pool-size=1G \
  --innodb-flush-log-at-trx-commit=2) || status=$?
if ((status != 0)); then
  if ((status == 77)) && [[ -z ${CI:-} ]]; then echo "run.sh: no MariaDB server here; skipped"; exit 77; fi
  echo "run.sh: the server did not start" >&2
  exit 1
fi
eval "$env_text"
server_dir=$VX_MARIADB_DIR
export VX_MARIADB_SOCKET VX_MARIADB_USER VX_MARIADB_PASSWORD VX_MARIADB_DATABASE LC_ALL=C.UTF-8

client() {
  MYSQL_PWD=$VX_MARIADB_PASSWORD mariadb --no-defaults --default-character-set=utf8mb4 --protocol=socket \
    --socket="$VX_MARIADB_SOCKET" --user="$VX_MARIADB_USER" -N -B "$VX_MARIADB_DATABASE" "$@"
}
statement_count() {
  MYSQL_PWD=$VX_MARIADB_ADMIN_PASSWORD mariadb --no-defaults --protocol=socket --socket="$VX_MARIADB_SOCKET" \
    --user="$VX_MARIADB_ADMIN_USER" -N -B \
    -e "SHOW GLOBAL STATUS WHERE Variable_name IN ('Com_select', 'Com_stmt_execute')" | awk '{ n += $2 } END { print n }'
}

echo "loading $rows rows"
sed "s/seq_1_to_1000000/seq_1_to_$rows/" "$root/bench/driver/data.sql" | client >/dev/null

run_measure() {
  local m=$1 log=$out/$1.log before after
  local -a cmd
  case $m in
    a | c | h | h-t) cmd=("$raw" "$m" --rows "$rows" --lookups "$lookups") ;;
    *) cmd=("$bench" "$driver" "$host" "$m" --rows "$rows" --lookups "$lookups") ;;
  esac
  before=$(statement_count)
  if ! "${cmd[@]}" >"$log" 2>&1; then
    cat "$log" >&2
    echo "run.sh: measure $m failed" >&2
    return 1
  fi
  after=$(statement_count)
  grep -E '^(RESULT|PEAK) ' "$log" >>"$out/raw.txt"
  echo "STATEMENTS $m $((after - before))" >>"$out/raw.txt"
}

for ((r = 0; r < rounds; r++)); do
  order=()
  for ((i = 0; i < ${#measures[@]}; i++)); do order+=("${measures[(i + r) % ${#measures[@]}]}"); done
  echo "round $((r + 1)): ${order[*]}"
  for m in "${order[@]}"; do run_measure "$m"; done
done
stop_server

echo "raw lines ($out/raw.txt):"
cat "$out/raw.txt"

# The counted runs' values of a measure: field 4 wall, 5 CPU, 6 rows, 7 checksum.
values() { awk -v m="$1" -v f="$2" '$1 == "RESULT" && $2 == m && $3 == 2 { print $f }' "$out/raw.txt"; }
median() { sort -g | awk '{ v[NR] = $1 } END { if (NR == 0) print "nan"; else if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
one() { # the single value every counted run of the measure gave, or "mixed"
  values "$1" "$2" | sort -u | awk 'NR == 1 { v = $1 } NR > 1 { v = "mixed" } END { print (NR ? v : "none") }'
}

declare -A wall cpu sum nrows peak stmts
for m in "${measures[@]}"; do
  wall[$m]=$(values "$m" 4 | median)
  cpu[$m]=$(values "$m" 5 | median)
  nrows[$m]=$(one "$m" 6)
  sum[$m]=$(one "$m" 7)
  peak[$m]=$(awk -v m="$m" '$1 == "PEAK" && $2 == m { print $3 }' "$out/raw.txt" | sort -g | tail -n 1)
  stmts[$m]=$(awk -v m="$m" '$1 == "STATEMENTS" && $2 == m { print $3 }' "$out/raw.txt" | median)
done
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.3f", a / b; else print "nan" }'; }

{
  echo
  echo "medians of $rounds round(s), $rows rows, $lookups look-ups; ratios to the baselines of this run"
  printf '%-5s %9s %9s %10s %10s %10s %9s %10s %14s\n' measure "wall/(a)" "cpu/(c)" "wall/(h)" "cpu/(a)" rows "peak MB" statements checksum
  for m in "${measures[@]}"; do
    printf '%-5s %9s %9s %10s %10s %10s %9s %10s %14s\n' "$m" "$(ratio "${wall[$m]}" "${wall[a]}")" \
      "$(ratio "${cpu[$m]}" "${cpu[c]}")" "$(ratio "${wall[$m]}" "${wall[h]}")" "$(ratio "${cpu[$m]}" "${cpu[a]}")" \
      "${nrows[$m]}" "$(awk -v k="${peak[$m]:-0}" 'BEGIN { printf "%.1f", k / 1024 }')" "${stmts[$m]}" "${sum[$m]}"
  done
  echo "goals: (x) wall/(a) <= 1.3 and cpu/(c) <= 1.5; (y) wall/(h) <= 1.15"
  echo "  (x) wall $(ratio "${wall[x]}" "${wall[a]}") x (a), cpu $(ratio "${cpu[x]}" "${cpu[c]}") x (c); (y) wall $(ratio "${wall[y]}" "${wall[h]}") x (h)"
  echo "  (statements: the server's SELECT and prepared-statement executions over each process, both runs and the open)"
} | tee "$out/table.txt"

# The checksums: the fixed values over the whole table, and in any case the
# driver's against the raw loops' of the same run.
failed=0
expect() {
  if [[ $2 != "$3" ]]; then echo "MISMATCH: $1: $2, expected $3" >&2; failed=1; fi
}
if [[ -z $smoke ]]; then
  expect "(a) checksum" "${sum[a]}" "$full_raw"
  expect "(c) checksum" "${sum[c]}" "$full_typed"
  expect "(h-t) checksum" "${sum[h-t]}" "$full_lookup_typed"
fi
for m in a c x x100; do expect "($m) rows" "${nrows[$m]}" "$rows"; done
for m in h h-t y; do expect "($m) rows" "${nrows[$m]}" "$lookups"; done
expect "(x) checksum" "${sum[x]}" "${sum[c]}"
expect "(x100) checksum" "${sum[x100]}" "${sum[c]}"
expect "(y) checksum" "${sum[y]}" "${sum[h-t]}"
if ((failed)); then echo "run.sh: checksum or row-count mismatch" >&2; exit 1; fi
echo "checksums and row counts match"
[[ -n $smoke ]] || echo "results in $out"
