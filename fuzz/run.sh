#!/usr/bin/env bash
# The fuzz targets: a build of their own with clang, then each target run for
# a while on a corpus of the project's own files.
#   fuzz/run.sh build SOURCE BUILD            configure and build (exit 77: no clang)
#   fuzz/run.sh run SOURCE BUILD TARGET SECS  run one target; a crash fails
set -euo pipefail
what=$1 src=$(cd "$2" && pwd) build=$(realpath -m "$3")
if ! command -v clang++ >/dev/null || ! command -v clang >/dev/null; then
  echo "no clang on this machine: the fuzz targets are not built (scripts/deps.sh installs it)"
  exit 77
fi
case $what in
  build)
    mkdir -p "$build"
    cmake -S "$src" -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DPIKORA_FUZZ=ON \
      -DPIKORA_SANITIZED_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$build/configure.log" 2>&1 \
      || { cat "$build/configure.log"; exit 1; }
    cmake --build "$build" -j2 --target pikora_fuzz
    ;;
  run)
    target=$4 secs=$5
    work=$(mktemp -d /tmp/pikora-fuzz-XXXXXX)
    trap 'rm -rf "$work"' EXIT
    mkdir "$work/new" "$work/seeds"
    cp "$src/fuzz/corpus/$target"/* "$work/seeds/" 2>/dev/null || true
    # The catalogues are the ones the game carries, as compiled in this build.
    [ "$target" = catalogue ] && cp "$build"/po/*.mo "$work/seeds/"
    dict=()
    [ -f "$src/fuzz/$target.dict" ] && dict=(-dict="$src/fuzz/$target.dict")
    cd "$work"
    # -rss_limit_mb: a reader that holds far more than its input is a fault too.
    "$build/fuzz/fuzz_$target" -max_total_time="$secs" -timeout=10 -rss_limit_mb=1024 -print_final_stats=1 \
      "${dict[@]}" -artifact_prefix="$work/" new seeds 2>&1 | tee "$work/log" | grep -v '^#[0-9]*.*\(NEW\|REDUCE\|pulse\)' || true
    if ls "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-* >/dev/null 2>&1; then
      mkdir -p "$build/fuzz/found"
      cp "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-* "$build/fuzz/found/" 2>/dev/null || true
      echo "fuzz_$target found a fault; the input is kept in $build/fuzz/found"
      exit 1
    fi
    grep -q '^stat::number_of_executed_units' "$work/log" || { echo "fuzz_$target did not run"; exit 1; }
    ;;
esac
