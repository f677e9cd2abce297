#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer) and
# runs each one for SECONDS_PER_TARGET seconds (default 60) on a copy of its committed corpus.
# Exits non-zero when any target reports a crash, a leak, a time-out, running out of memory or a
# sanitizer finding; the input that caused it is kept in the run's folder (printed at the end).
#
#   run-fuzzers.sh [SECONDS_PER_TARGET]
#
# Environment:
#   VELMORA_FUZZ_BUILD    build folder (default: <repository>/build-fuzz)
#   VELMORA_FUZZ_JOBS     targets run at the same time (default 1)
#   VELMORA_FUZZ_TARGETS  the targets to run, separated by blanks (default: all)
#   VELMORA_FUZZ_TMP      where the targets make their private folders (default: /dev/shm when
#                         it is writable, else $TMPDIR or /tmp)
#   VELMORA_FUZZ_RESUME   an earlier run's folder (build-fuzz/fuzz-runs/<date>): its grown
#                         corpora are added to the committed ones, so a long run continues there
set -euo pipefail

seconds="${1:-60}"
if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: $0 [SECONDS_PER_TARGET]" >&2
  exit 2
fi
here="$(cd "$(dirname "$0")" && pwd)"
repo="$(cd "$here/../../.." && pwd)"
build="${VELMORA_FUZZ_BUILD:-$repo/build-fuzz}"
jobs="${VELMORA_FUZZ_JOBS:-1}"
read -r -a targets <<<"${VELMORA_FUZZ_TARGETS:-fuzz_sql_statement fuzz_connection_string fuzz_bug_filter fuzz_attachment_restore fuzz_registry_file fuzz_rtf_reader}"

# Longest input per target: descriptions and texts stay small, archives get room for a few
# entries.
max_len() {
  case "$1" in
    fuzz_attachment_restore) echo 16384 ;;
    *) echo 4096 ;;
  esac
}

CC=clang-14 CXX=clang++-14 cmake -S "$repo" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELMORA_FUZZ=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"

run="$build/fuzz-runs/$(date +%Y%m%d-%H%M%S)"
mkdir -p "$run"

# Statements commit and the registry is replaced with synced writes on every input: a memory file
# system keeps that from dominating the run. A target that crashes cannot remove its private
# folder, so all of them go when the run ends.
if [ -z "${VELMORA_FUZZ_TMP:-}" ]; then
  if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    VELMORA_FUZZ_TMP=/dev/shm
  else
    VELMORA_FUZZ_TMP="${TMPDIR:-/tmp}"
  fi
fi
scratch="$(mktemp -d "$VELMORA_FUZZ_TMP/velmora-fuzz-run.XXXXXX")"
trap 'rm -rf "$scratch"' EXIT

# Runs one target; its log, grown corpus, findings and exit status stay in $run/<target>.
run_target() {
  local target="$1" dir="$run/$1"
  mkdir -p "$dir/corpus" "$dir/findings" "$scratch/$target"
  cp -R "$here/corpus/$target/." "$dir/corpus/"
  if [ -n "${VELMORA_FUZZ_RESUME:-}" ] && [ -d "$VELMORA_FUZZ_RESUME/$target/corpus" ]; then
    cp -R "$VELMORA_FUZZ_RESUME/$target/corpus/." "$dir/corpus/"
  fi
  local dictionary=()
  if [ -f "$here/dictionaries/$target.dict" ]; then
    dictionary=(-dict="$here/dictionaries/$target.dict")
  fi
  local status=0
  TMPDIR="$scratch/$target" \
    ASAN_OPTIONS="detect_leaks=1:allocator_may_return_null=0" \
    UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1" \
    "$build/tests/stress/fuzz/$target" \
    -max_total_time="$seconds" -timeout=30 -rss_limit_mb=2048 -malloc_limit_mb=1024 \
    -max_len="$(max_len "$target")" -print_final_stats=1 "${dictionary[@]}" \
    -artifact_prefix="$dir/findings/" "$dir/corpus" >"$dir/log" 2>&1 || status=$?
  echo "$status" >"$dir/status"
}

running=0
for target in "${targets[@]}"; do
  run_target "$target" &
  running=$((running + 1))
  if [ "$running" -ge "$jobs" ]; then
    wait -n || true
    running=$((running - 1))
  fi
done
wait

failed=0
printf '%-26s %8s %12s %8s %s\n' target seconds executions corpus result
for target in "${targets[@]}"; do
  dir="$run/$target"
  status="$(cat "$dir/status" 2>/dev/null || echo 1)"
  executions="$(sed -n 's/^stat::number_of_executed_units: *//p' "$dir/log" | tail -1)"
  corpus="$(find "$dir/corpus" -type f | wc -l)"
  findings="$(find "$dir/findings" -type f | wc -l)"
  result=ok
  if [ "$status" -ne 0 ] || [ "$findings" -ne 0 ] || grep -q "runtime error:" "$dir/log"; then
    result="FAILED (exit $status, $findings finding(s); see $dir/log and $dir/findings)"
    failed=1
  fi
  printf '%-26s %8s %12s %8s %s\n' "$target" "$seconds" "${executions:-?}" "$corpus" "$result"
done
exit "$failed"
