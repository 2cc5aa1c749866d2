#!/usr/bin/env bash
# The disk image's ISO step against a plain copy: the CD image of the large
# kit (bench/large_kit.sh, about 200 MB) is made once with `kitcomp build`,
# then `cp -r` copies that folder and bench/disk_image_step writes its ISO
# file as the build does (engine::WriteDiskImage), alternating, five times
# each; the best time of each counts. Prints both and the ratio, and with
# --report replaces the "Disk image" section of docs/performance.md.
# Needs the benchmarks built: cmake -B build -DKITCOMP_BENCH=ON && cmake --build build
#
# Usage: bench/disk_image_vs_cp.sh [BUILD_DIR] [--report]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/bench/large_kit.sh"
bench_arguments "$@"
step=$build/bench/disk_image_step
[ -x "$step" ] || { echo "build the benchmarks first (cmake -B $build -DKITCOMP_BENCH=ON && cmake --build $build)" >&2; exit 2; }

work=$(mktemp -d /tmp/kc-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT
make_large_kit "Create CD=YES" "Create Download=NO" "Create Disks=NO"
KITCOMP_EMPTY_PAUSE_MS=0 "$kitcomp" build -C 'B:\kit\kitcomp' > "$work/kitcomp.log" || { cat "$work/kitcomp.log" >&2; exit 1; }
cd_mb=$(du -sm "$work/out/CD" | cut -f1)
mkdir -p "$work/iso"

# For comparison only: a standard ISO tool on the same folder, when installed.
if command -v genisoimage >/dev/null; then
  reference="genisoimage"
  reference_iso() { genisoimage -quiet -J -R -o "$work/iso/reference.iso" "$work/out/CD"; }
else
  reference=""
fi

runs=5
load=$(cut -d" " -f1-3 /proc/loadavg)
cp_times=""
iso_times=""
reference_times=""
for _ in $(seq $runs); do
  rm -rf "$work/copy"
  cp_times+="$(timed cp -r "$work/out/CD" "$work/copy")"$'\n'
  rm -f "$work/iso/setup.iso"
  iso_times+="$(timed "$step" 'B:\out\CD' 'B:\iso\setup.iso')"$'\n'
  if [ -n "$reference" ]; then
    rm -f "$work/iso/reference.iso"
    reference_times+="$(timed reference_iso)"$'\n'
  fi
done
cp_s=$(printf '%s' "$cp_times" | best)
iso_s=$(printf '%s' "$iso_times" | best)
ratio=$(ratio "$iso_s" "$cp_s")
printf 'CD image: %s MB\ncp -r: %.3f s (runs: %s)\nISO step: %.3f s (runs: %s)\nratio: %s (target <= 2)\nload average at the start: %s\n' \
  "$cd_mb" "$cp_s" "$(printf '%s' "$cp_times" | tr '\n' ' ')" "$iso_s" "$(printf '%s' "$iso_times" | tr '\n' ' ')" \
  "$ratio" "$load"
reference_row=""
if [ -n "$reference" ]; then
  reference_s=$(printf '%s' "$reference_times" | best)
  printf '%s (for comparison): %.3f s, %.2f times cp -r\n' "$reference" "$reference_s" \
    "$(awk -v a="$reference_s" -v b="$cp_s" 'BEGIN { print a / b }')"
  reference_row="| $reference (for comparison) | $(printf '%.3f' "$reference_s") |"
fi

if [ "$report" = yes ]; then
  section=$(cat <<MD
## Disk image

\`bench/disk_image_vs_cp.sh\` writes the ISO file of the large kit's CD image ($cd_mb MB) as the build's
disk image does (\`bench/disk_image_step\`, engine::WriteDiskImage: the layout first, then each file
copied into its place with \`copy_file_range\`) and copies the same folder with \`cp -r\`. Best of $runs alternating runs, load average $load at the
start, on this project's 2-core machine ($(date -u +%Y-%m-%d)):

| run | seconds |
| --- | --- |
| cp -r | $(printf '%.3f' "$cp_s") |
| ISO step | $(printf '%.3f' "$iso_s") |
| ratio | $ratio (target at most 2) |
$reference_row
MD
)
  replace_doc_section "Disk image" "$section"
fi
