#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang (ASan and UBSan) into
# build-fuzz/ and runs each over its seed corpus, which the target writes with
# the project's own writers, plus what earlier runs found (build-fuzz/corpus/).
#
#   scripts/fuzz.sh                         every target for 10 seconds, one at a time
#   scripts/fuzz.sh --time 1800             every target for half an hour
#   scripts/fuzz.sh --runs 10000000 cp932   one target for ten million inputs
#   scripts/fuzz.sh -j 3 --time 600         three targets at a time
#   scripts/fuzz.sh --ci                    the short CI run: every target for
#                                           5 seconds from its seeds alone, one
#                                           per core at a time, in build-fuzz/ci/
#
# A crash, a broken check or an input that runs longer than FUZZ_TIMEOUT
# seconds (60) stops that target; its input is kept under
# build-fuzz/artifacts/<target>/ and the script fails. Logs: build-fuzz/logs/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}
limit=(-max_total_time=10)
parallel=1
ci=0
targets=()
while (($#)); do
  case "$1" in
    --time) limit=(-max_total_time="$2"); shift 2 ;;
    --runs) limit=(-runs="$2"); shift 2 ;;
    -j) parallel=$2; shift 2 ;;
    --ci) limit=(-max_total_time=5); parallel=$(nproc); ci=1; shift ;;
    -h|--help) sed -n '2,17p' "$0"; exit 0 ;;
    -*) echo "unknown option $1" >&2; exit 2 ;;
    *) targets+=("$1"); shift ;;
  esac
done

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DAERIAL_FUZZ=ON >/dev/null
cmake --build "$build" -j "${JOBS:-$(nproc)}" --target fuzz_targets
if ((${#targets[@]} == 0)); then
  for program in "$build"/bin/*_fuzz; do targets+=("$(basename "$program" _fuzz)"); done
fi

# The CI run starts from the seeds alone, in a folder of its own.
corpora=$build/corpus
if ((ci)); then
  corpora=$build/ci/corpus
  rm -rf "$build/ci"
fi

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
mkdir -p "$build/logs"

# Runs one target; its last line of output is its summary.
fuzz_one() {
  local name=$1 program="$build/bin/$1_fuzz" corpus="$corpora/$1"
  local log="$build/logs/$name.log" artifacts="$build/artifacts/$name/"
  [[ -x "$program" ]] || { echo "$name: no such target" >&2; return 1; }
  mkdir -p "$corpus/found" "$artifacts"
  rm -rf "$corpus/seeds"
  "$program" --write-seeds="$corpus/seeds" >"$log" 2>&1
  local start=$SECONDS status=0
  "$program" "${limit[@]}" -timeout="${FUZZ_TIMEOUT:-60}" -print_final_stats=1 -artifact_prefix="$artifacts" \
    "$corpus/found" "$corpus/seeds" >>"$log" 2>&1 || status=$?
  local runs rate
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  if ((status == 0)); then
    printf '%-14s ok      %12s runs %8s/s %6ss\n' "$name" "${runs:-?}" "${rate:-?}" $((SECONDS - start))
  else
    printf '%-14s FAILED  see %s\n' "$name" "$log"
    grep -A 25 -m 1 -E '^==[0-9]+==ERROR|runtime error|check failed|ERROR: libFuzzer' "$log" | sed 's/^/    /'
    return 1
  fi
}

rm -f "$build"/logs/*.failed
for name in "${targets[@]}"; do
  while (($(jobs -rp | wc -l) >= parallel)); do wait -n || true; done
  { fuzz_one "$name" || touch "$build/logs/$name.failed"; } &
done
wait
! compgen -G "$build/logs/*.failed" >/dev/null
