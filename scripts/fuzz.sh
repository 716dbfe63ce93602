#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given number of seconds
# (default 60), starting from the seeds in fuzz/corpus/<target>. Findings land in
# build/fuzz/findings.
set -euo pipefail
cd "$(dirname "$0")/.."
sekunden=${1:-60}

bash scripts/setup.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target fuzzers

mkdir -p build/fuzz/findings
for ziel in build/fuzz/fuzz/fuzz_*; do
  [ -x "$ziel" ] || continue
  name=$(basename "$ziel")
  arbeit="build/fuzz/corpus/$name"
  mkdir -p "$arbeit"
  seeds=()
  [ -d "fuzz/corpus/$name" ] && seeds=("fuzz/corpus/$name")
  echo "fuzzing $name for ${sekunden}s"
  "$ziel" -max_total_time="$sekunden" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix=build/fuzz/findings/"$name"- -print_final_stats=0 \
    "$arbeit" "${seeds[@]}" 2> "build/fuzz/$name.log" || { tail -n 40 "build/fuzz/$name.log"; exit 1; }
  grep -E '^(#[0-9]+\s+DONE|Done)' "build/fuzz/$name.log" | tail -n 1 || true
done
