#!/usr/bin/env bash
# Start-up to a visible welcome dialog: runs kitcomp with KITCOMP_EXIT_AFTER_SHOW=1
# (it quits once the dialog has been shown and painted) on the offscreen
# platform from the sample kit's kitcomp folder, and times it with hyperfine
# when it is installed, else with a plain loop.
#   bench/startup_bench.sh [RUNS]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${KITCOMP_BUILD_DIR:-$top/build}
runs=${1:-20}
kitcomp="$build/src/app/kitcomp"
kit="$build/kit/kitcomp"
if [ ! -x "$kitcomp" ] || [ ! -d "$kit" ]; then
  echo "startup_bench: build kitcomp and the kit first (cmake --build $build --target kitcomp kit)" >&2
  exit 2
fi
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$runtime KITCOMP_EXIT_AFTER_SHOW=1
cd "$kit"
"$kitcomp" >/dev/null  # warm the file cache once
if command -v hyperfine >/dev/null; then
  hyperfine --warmup 2 --runs "$runs" --shell=none "$kitcomp"
else
  start=$(date +%s%N)
  for _ in $(seq "$runs"); do "$kitcomp" >/dev/null; done
  end=$(date +%s%N)
  echo "start-up to a visible welcome dialog: $(( (end - start) / runs / 1000000 )) ms mean over $runs runs"
fi
