#!/usr/bin/env bash
# Full build benchmark: `kitcomp build` (CD, disk and network images) of a
# generated large kit (24 modules of incompressible data, about 200 MB,
# bench/large_kit.sh) against a shell pipeline doing the same work with
# standard tools: cp and sha256sum for each image's files and package list,
# makeself --nocomp (or a stub with zip -0 appended) for the network file, and
# genisoimage (or xorriso) for the disk image's ISO file. Install one of those
# for the benchmark (apt-get install genisoimage); the build itself needs none.
# The pauses EmptyDirectory makes per entry are counted out
# (KITCOMP_EMPTY_PAUSE_MS=0). Each side runs three times, alternating, and its
# best time counts. Prints both times and the ratio, and with --report
# replaces the "Full build" section of docs/performance.md.
#
# Usage: bench/build_vs_pipeline.sh [BUILD_DIR] [--report]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/bench/large_kit.sh"
bench_arguments "$@"
if command -v genisoimage >/dev/null; then
  isotool="genisoimage"
  make_iso() { genisoimage -quiet -J -R -V LUMENARY_4_5 -o "$1" "$2"; }
elif command -v xorriso >/dev/null; then
  isotool="xorriso -as mkisofs"
  make_iso() { xorriso -as mkisofs -quiet -J -R -V LUMENARY_4_5 -o "$1" "$2" 2>/dev/null; }
else
  echo "the pipeline needs genisoimage or xorriso (apt-get install genisoimage)" >&2
  exit 2
fi

work=$(mktemp -d /tmp/kc-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT
make_large_kit "Create CD=YES" "Create Download=YES" "Create Disks=YES"

runs=3
load=$(cut -d" " -f1-3 /proc/loadavg)

# --- kitcomp build ---------------------------------------------------------
kitcomp_build() { KITCOMP_EMPTY_PAUSE_MS=0 "$kitcomp" build -C 'B:\kit\kitcomp' > "$work/kitcomp.log"; }

# --- the same work with standard tools -------------------------------------
src="$work/kit/source"
out="$work/pipe"
# One image's files and their package list in a folder.
gather() {
  mkdir -p "$1"
  cp -p "$src/install/"* "$1/"
  cp -p "$src/modules/"big*.{z,ins,ini} "$src/modules/"lume.* "$1/"
  (cd "$1" && sha256sum -- * > "$out/setup.pkg") && mv "$out/setup.pkg" "$1/setup.pkg"
}
pipeline() {
  mkdir -p "$out"
  gather "$out/CD"
  gather "$out/network/temp"
  if command -v makeself >/dev/null; then
    makeself --nocomp --quiet "$out/network/temp" "$out/network/netsetup.run" "setup" ./setup.exe >/dev/null
  else
    (cd "$out/network/temp" && zip -q -0 -r "$out/network/payload.zip" .)
    cat "$work/kit/kitcomp/sfxmaker.exe" "$out/network/payload.zip" > "$out/network/netsetup.run"
    rm "$out/network/payload.zip"
  fi
  rm -rf "$out/network/temp"
  gather "$out/disk/files"
  make_iso "$out/disk/setup.iso" "$out/disk/files"
  rm -rf "$out/disk/files"
}
if command -v makeself >/dev/null; then selfextract="makeself --nocomp"; else selfextract="stub + zip -0"; fi

# Alternating runs, the best of each: the machine is shared.
kitcomp_times=""
pipeline_times=""
for _ in $(seq $runs); do
  kitcomp_times+="$(timed kitcomp_build)"$'\n'
  rm -rf "$out"
  pipeline_times+="$(timed pipeline)"$'\n'
done
grep -q "Your installation creation is complete." "$work/kitcomp.log" || { cat "$work/kitcomp.log" >&2; exit 1; }
kitcomp_s=$(printf '%s' "$kitcomp_times" | best)
pipeline_s=$(printf '%s' "$pipeline_times" | best)
ratio=$(ratio "$kitcomp_s" "$pipeline_s")
printf 'kit modules: %s MB in %s modules\nkitcomp build: %.2f s\npipeline (%s, %s): %.2f s\nratio: %s (target <= 0.5)\n' \
  "$large_kit_mb" "$large_kit_modules" "$kitcomp_s" "$selfextract" "$isotool" "$pipeline_s" "$ratio"
printf 'load average at the start: %s\n' "$load"

if [ "$report" = yes ]; then
  section=$(cat <<MD
## Full build

\`bench/build_vs_pipeline.sh\` builds the CD, disk and network images of a generated kit ($large_kit_modules modules of
incompressible data, $large_kit_mb MB of module archives) with \`kitcomp build\`, and does the same work with a
shell pipeline of standard tools (cp and sha256sum for each image, $selfextract for the network file,
$isotool for the disk image). The 50 ms pauses that emptying an image directory makes per entry are
counted out (\`KITCOMP_EMPTY_PAUSE_MS=0\`, read only by \`kitcomp build\` for this purpose). Load average when
the runs started: $load (a shared machine: the ratio varies with it). Best of $runs alternating runs on
this project's 2-core machine ($(date -u +%Y-%m-%d)):

| run | seconds |
| --- | --- |
| kitcomp build | $(printf '%.2f' "$kitcomp_s") |
| pipeline | $(printf '%.2f' "$pipeline_s") |
| ratio | $ratio (target at most 0.5) |
MD
)
  replace_doc_section "Full build" "$section"
fi
