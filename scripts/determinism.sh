#!/usr/bin/env bash
# Plays the fixed set of battles of battle_trace (tests/tools/determinism/)
# with three builds of it: the normal one (build/), the sanitizer one
# (build-asan/) and a clang++ -O2 one (build-clang/), and checks their
# per-frame state hashes against each other and against the reference kept in
# tests/tools/determinism/reference.txt (per battle: its frame count and a
# digest of its hashes). Saved replays and network peers need every build,
# and every later version, to compute the same battles: any difference fails
# (exit 1), naming the battle, its first differing frame and the first
# differing field of the battle state there.
#
#   scripts/determinism.sh                      the check
#   scripts/determinism.sh --update-reference   a change meant to alter battles:
#       once the three builds agree, rewrites the reference from them; commit
#       it with the change, saying in the message why the battles change
#
# A battle that differs from the reference is told apart frame by frame from
# the build of the sources that made the reference: the last commit that
# changed reference.txt, exported and built (battle_trace only) into
# build-reference/ (REFERENCE_BUILD_DIR), where it stays for the next time.
# Each build dir is configured if it does not exist yet; only battle_trace is
# built. The traces and reports are kept under build-clang/determinism/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
update=0
case "${1-}" in
  "") ;;
  --update-reference) update=1 ;;
  -h|--help) sed -n '2,22p' "$0"; exit 0 ;;
  *) echo "usage: scripts/determinism.sh [--update-reference]" >&2; exit 2 ;;
esac
jobs=${JOBS:-$(nproc)}
normal=${BUILD_DIR:-$root/build}
asan=${SANITIZE_BUILD_DIR:-$root/build-asan}
clang=${CLANG_BUILD_DIR:-$root/build-clang}
reference_build=${REFERENCE_BUILD_DIR:-$root/build-reference}
reference_path=tests/tools/determinism/reference.txt
reference=$root/$reference_path
start=$SECONDS

configure() {  # source dir, build dir, cmake arguments...
  local source=$1 dir=$2
  shift 2
  [[ -f "$dir/build.ninja" ]] || cmake -S "$source" -B "$dir" -G Ninja "$@" >/dev/null
}
configure "$root" "$normal" -DCMAKE_BUILD_TYPE=RelWithDebInfo
configure "$root" "$asan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DAERIAL_SANITIZE=ON
configure "$root" "$clang" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
for dir in "$normal" "$asan" "$clang"; do cmake --build "$dir" -j "$jobs" --target battle_trace >/dev/null; done
echo "determinism builds: $((SECONDS - start)) s"

export ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS=suppressions=$root/scripts/lsan.supp:print_suppressions=0
out=$clang/determinism
rm -rf "$out"
mkdir -p "$out"

# battle_trace plays without the data set (pictures and models carry no
# battle state), so the game's notes on missing data files are left out of
# what a failed run shows.
show_errors() {  # error file
  awk '!/\. Put the game.s data files in /' "$1" | tail -20 >&2
}

# Splits a trace (a line "battle NAME", then one hash a frame) into one file of
# hashes per battle under the folder, and lists "NAME FRAMES DIGEST" per
# battle, in the trace's order, into FOLDER.digests: the digest is the first
# 16 hexadecimal digits of the SHA-256 of the battle's hash lines.
split_trace() {  # trace, folder
  local trace=$1 folder=$2 name
  mkdir -p "$folder"
  awk -v folder="$folder" '/^battle / { if (file) close(file); file = folder "/" $2; printf "" > file; next }
                           { print > file }' "$trace"
  : >"$folder.digests"
  while read -r _ name; do
    echo "$name $(wc -l <"$folder/$name") $(sha256sum "$folder/$name" | cut -c1-16)" >>"$folder.digests"
  done < <(grep '^battle ' "$trace")
}

# Plays the set with the battle_trace of a build dir into $out/NAME.txt and
# splits it; false (after showing why) when the program fails.
trace() {  # name, build dir
  local name=$1 dir=$2
  if "$dir/bin/battle_trace" >"$out/$name.txt" 2>"$out/$name.err"; then
    split_trace "$out/$name.txt" "$out/$name"
  else
    echo "battle_trace of the $name build failed:" >&2
    show_errors "$out/$name.err"
    return 1
  fi
}

# The first frame (0 is the first) whose hash differs between two files of
# per-frame hashes, or where one of them ends; nothing when they are the same.
first_frame() {  # file, file
  awk 'FILENAME == ARGV[1] { a[FNR] = $0; n = FNR; next }
       { m = FNR; if (FNR > n || $0 != a[FNR]) { print FNR - 1; found = 1; exit } }
       END { if (!found && m < n) print m }' "$1" "$2"
}

# The first field of two listings of battle_trace --fields ("NAME HASH" a
# line) whose value differs, or both names where the listings part.
first_field() {  # listing, listing
  awk 'FILENAME == ARGV[1] { name[FNR] = $1; value[FNR] = $2; n = FNR; next }
       { m = FNR }
       FNR > n || $1 != name[FNR] { print (FNR > n ? "(none) / " $1 : name[FNR] " / " $1); found = 1; exit }
       $2 != value[FNR] { print $1; found = 1; exit }
       END { if (!found && m < n) print name[m + 1] " / (none)" }' "$1" "$2"
}

# Tells how a battle differs between two builds: its first differing frame
# and the first differing field there.
describe() {  # battle, build name, build dir, other build name, other build dir
  local battle=$1 name=$2 dir=$3 other=$4 other_dir=$5 frame
  frame=$(first_frame "$out/$name/$battle" "$out/$other/$battle")
  echo "  battle $battle: first differing frame $frame" >&2
  local fields=$out/fields-$battle
  if "$dir/bin/battle_trace" --fields "$battle" "$frame" >"$fields-$name.txt" 2>"$fields-$name.err" &&
    "$other_dir/bin/battle_trace" --fields "$battle" "$frame" >"$fields-$other.txt" 2>"$fields-$other.err"; then
    local field
    field=$(first_field "$fields-$name.txt" "$fields-$other.txt")
    echo "    first differing field ($name / $other): ${field:-none listed} (all fields: $fields-*.txt)" >&2
  else
    echo "    the battle ends before that frame in one of them" >&2
  fi
}

names=(normal sanitizer clang)
dirs=("$normal" "$asan" "$clang")
start=$SECONDS
pids=()
for i in 0 1 2; do
  trace "${names[i]}" "${dirs[i]}" &
  pids+=($!)
done
status=0
for pid in "${pids[@]}"; do wait "$pid" || status=1; done
((status == 0)) || exit 1
echo "determinism battles: $(wc -l <"$out/normal.digests") battles, $(grep -vc '^battle ' "$out/normal.txt") frames, $((SECONDS - start)) s"

for i in 1 2; do
  if ! cmp -s "$out/normal.digests" "$out/${names[i]}.digests"; then
    echo "DETERMINISM FAILED: the ${names[i]} build differs from the normal build" >&2
    battle=$(awk 'FILENAME == ARGV[1] { d[$1] = $0; next } d[$1] != $0 { print $1; exit }' \
      "$out/normal.digests" "$out/${names[i]}.digests")
    describe "$battle" normal "$normal" "${names[i]}" "${dirs[i]}"
    status=1
  fi
done
((status == 0)) || exit 1

if ((update)); then
  {
    echo "# The battles of battle_trace as scripts/determinism.sh expects them: per"
    echo "# battle its name, its frame count and the first 16 hexadecimal digits of"
    echo "# the SHA-256 of its per-frame state hashes (battle_trace's lines)."
    echo "# Saved replays and network peers rely on these battles staying the same."
    echo "# A change meant to alter them rewrites this file with"
    echo "#     scripts/determinism.sh --update-reference"
    echo "# in the commit that makes the change, whose message says why."
    cat "$out/normal.digests"
  } >"$reference.new"
  changed="$(wc -l <"$out/normal.digests") battles written"
  [[ -f "$reference" ]] && changed="$(awk '/^#/ { next } FILENAME == ARGV[1] { d[$1] = $0; next } d[$1] != $0' \
    "$reference" "$reference.new" | wc -l) of $(wc -l <"$out/normal.digests") battles changed"
  mv "$reference.new" "$reference"
  echo "determinism: the three builds agree; $reference_path rewritten ($changed)"
  exit 0
fi

# The battles that differ from the reference: "NAME FRAMES DIGEST" as now,
# or "NAME (none)" for a battle of the reference that is no longer played.
[[ -f "$reference" ]] || { echo "DETERMINISM FAILED: no $reference_path; write it with $0 --update-reference" >&2; exit 1; }
awk '/^#/ { next } FILENAME == ARGV[1] { want[$1] = $0; order[++n] = $1; next }
     { seen[$1] = 1; if (want[$1] != $0) print }
     END { for (i = 1; i <= n; i++) if (!seen[order[i]]) print order[i], "(none)" }' \
  "$reference" "$out/normal.digests" >"$out/changed.txt"
if [[ ! -s "$out/changed.txt" ]]; then
  echo "determinism: the three builds agree on every frame, and with $reference_path"
  exit 0
fi
echo "DETERMINISM FAILED: $(wc -l <"$out/changed.txt") of $(grep -vc '^#' "$reference") battles differ from $reference_path" >&2
awk 'FILENAME == ARGV[1] { if ($0 !~ /^#/) want[$1] = $2; next }
     { print "  " $1 ": " (want[$1] == "" ? "not in the reference" : want[$1] " frames in the reference") ", " \
       ($2 == "(none)" ? "no longer played" : $2 " frames now") }' "$reference" "$out/changed.txt" >&2

# Tells each battle apart from the build of the reference's own sources.
locate() {
  local commit
  command -v git >/dev/null && commit=$(git -C "$root" log -1 --format=%H -- "$reference_path" 2>/dev/null) ||
    { echo "  (no git history here to rebuild the reference's sources from)" >&2; return 1; }
  [[ -n "$commit" ]] || { echo "  ($reference_path was never committed: no sources to rebuild it from)" >&2; return 1; }
  git -C "$root" diff --quiet "$commit" -- "$reference_path" ||
    { echo "  ($reference_path has changes not committed: no sources to rebuild it from)" >&2; return 1; }
  echo "building the reference's sources (commit ${commit:0:12}) into $reference_build" >&2
  local source=$reference_build/source
  if [[ "$(cat "$source.commit" 2>/dev/null)" != "$commit" ]]; then
    rm -rf "$source" "$reference_build/build"
    mkdir -p "$source"
    git -C "$root" archive "$commit" | tar -x -C "$source"
    echo "$commit" >"$source.commit"
  fi
  local launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  configure "$source" "$reference_build/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}"
  cmake --build "$reference_build/build" -j "$jobs" --target battle_trace >"$out/reference-build.log" 2>&1 ||
    { echo "  (the reference's sources do not build: $out/reference-build.log)" >&2; return 1; }
  trace reference "$reference_build/build" || return 1
  # The reference build must give the reference, else it was not rewritten
  # from its own sources and cannot stand for it.
  awk '/^#/ { next } FILENAME == ARGV[1] { want[$1] = $0; next } want[$1] != "" && want[$1] != $0 { bad = 1 }
       END { exit bad }' "$reference" "$out/reference.digests" ||
    { echo "  (the build of commit ${commit:0:12} does not give $reference_path: it was not rewritten from its own sources)" >&2; return 1; }
}
if locate; then
  while read -r battle frames _; do
    [[ "$frames" == "(none)" || ! -f "$out/reference/$battle" ]] && continue
    describe "$battle" reference "$reference_build/build" normal "$normal"
  done <"$out/changed.txt"
else
  echo "  the first differing frame and field are not known without the reference's build" >&2
fi
echo "A change meant to alter these battles rewrites the reference in the same commit: $0 --update-reference" >&2
exit 1
