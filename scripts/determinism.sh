#!/usr/bin/env bash
# Plays the fixed set of battles of battle_trace (tests/tools/determinism/)
# with three builds of it: the normal one (build/), the sanitizer one
# (build-asan/) and a clang++ -O2 one (build-clang/), and compares their
# per-frame state hashes. Replays and network battles need every build to
# compute the same battle: any difference fails, naming the battle, its first
# differing frame and the first differing field of the battle state there.
# Each build dir is configured if it does not exist yet; only battle_trace is
# built. The trace files are kept under build-clang/determinism/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=${JOBS:-$(nproc)}
normal=${BUILD_DIR:-$root/build}
asan=${SANITIZE_BUILD_DIR:-$root/build-asan}
clang=${CLANG_BUILD_DIR:-$root/build-clang}
start=$SECONDS

configure() {  # build dir, cmake arguments...
  local dir=$1
  shift
  [[ -f "$dir/build.ninja" ]] || cmake -S "$root" -B "$dir" -G Ninja "$@" >/dev/null
}
configure "$normal" -DCMAKE_BUILD_TYPE=RelWithDebInfo
configure "$asan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DAERIAL_SANITIZE=ON
configure "$clang" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
for dir in "$normal" "$asan" "$clang"; do cmake --build "$dir" -j "$jobs" --target battle_trace >/dev/null; done
echo "determinism builds: $((SECONDS - start)) s"

export ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS=suppressions=$root/scripts/lsan.supp:print_suppressions=0
out=$clang/determinism
mkdir -p "$out"
names=(normal sanitizer clang)
dirs=("$normal" "$asan" "$clang")
start=$SECONDS
pids=()
for i in 0 1 2; do
  "${dirs[i]}/bin/battle_trace" >"$out/${names[i]}.txt" 2>"$out/${names[i]}.err" &
  pids+=($!)
done
status=0
for i in 0 1 2; do
  wait "${pids[i]}" || { echo "battle_trace of the ${names[i]} build failed:" >&2; tail -20 "$out/${names[i]}.err" >&2; status=1; }
done
((status == 0)) || exit 1
echo "determinism battles: $(grep -c '^battle ' "$out/normal.txt") battles, $(grep -vc '^battle ' "$out/normal.txt") frames, $((SECONDS - start)) s"

# The first difference of two traces: "BATTLE FRAME" (frame 0 is the first),
# nothing when they are the same.
first_difference() {
  awk 'NR == FNR { a[FNR] = $0; n = FNR; next }
       { m = FNR; if (FNR > n || $0 != a[FNR]) { at = FNR; exit } }
       END {
         if (!at && m == n) exit
         if (!at) at = m + 1
         for (i = 1; i < at && i <= n; i++) if (a[i] ~ /^battle /) { battle = substr(a[i], 8); first = i }
         print battle, at - first - 1
       }' "$1" "$2"
}

for i in 1 2; do
  difference=$(first_difference "$out/normal.txt" "$out/${names[i]}.txt")
  [[ -z "$difference" ]] && continue
  read -r battle frame <<<"$difference"
  echo "DETERMINISM FAILED: the ${names[i]} build differs from the normal build in battle $battle at frame $frame" >&2
  "$normal/bin/battle_trace" --fields "$battle" "$frame" >"$out/fields-normal.txt" || true
  "${dirs[i]}/bin/battle_trace" --fields "$battle" "$frame" >"$out/fields-${names[i]}.txt" || true
  if [[ -s "$out/fields-normal.txt" && -s "$out/fields-${names[i]}.txt" ]]; then
    field=$(paste -d ' ' "$out/fields-normal.txt" "$out/fields-${names[i]}.txt" |
      awk '$1 != $3 || $2 != $4 { print ($1 == $3 ? $1 : $1 " / " $3); exit }')
    echo "  first differing field: $field (all fields: $out/fields-*.txt)" >&2
  else
    echo "  the battle ends at that frame in one build only" >&2
  fi
  status=1
done
((status == 0)) && echo "determinism: the three builds agree on every frame"
exit "$status"
