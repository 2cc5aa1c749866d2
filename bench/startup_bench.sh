#!/usr/bin/env bash
# Start-up to a visible welcome dialog: runs kitcomp with KITCOMP_EXIT_AFTER_SHOW=1
# (it quits once the dialog has been shown and painted) on the offscreen
# platform from the sample kit's kitcomp folder, and times it with hyperfine
# when it is installed, else with a plain loop.
#   bench/startup_bench.sh [RUNS]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${KITCOMP_BUILD_DIR:-$top/build}" && pwd)
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
"$kitcomp" >/dev/null 2>&1  # warm the file cache once
if command -v hyperfine >/dev/null; then
  hyperfine --warmup 2 --runs "$runs" --shell=none "$kitcomp"
else
  times=()
  for _ in $(seq "$runs"); do
    start=$(date +%s%N)
    "$kitcomp" >/dev/null 2>&1
    end=$(date +%s%N)
    times+=($(( (end - start) / 1000 )))
  done
  printf '%s\n' "${times[@]}" | sort -n | awk -v runs="$runs" '
    { t[NR] = $1; sum += $1 }
    END { printf "start-up to a visible welcome dialog over %d runs: mean %.1f ms, min %.1f ms, median %.1f ms, max %.1f ms\n",
          runs, sum / NR / 1000, t[1] / 1000, t[int((NR + 1) / 2)] / 1000, t[NR] / 1000 }' 
fi
