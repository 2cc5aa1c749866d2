#!/usr/bin/env bash
# kitcomp verify against sha256sum of the same files: the large kit's CD and
# network images (bench/large_kit.sh, 24 modules, about 200 MB each) are built
# once, then `kitcomp verify` of both images and `sha256sum` of every file of
# the CD image and of netsetup.exe run alternately, five times each; the best
# time of each counts. Prints both and the ratio (goal: at most 1.5), and with
# --report replaces the "Image verification" section of docs/performance.md.
#
# Usage: bench/verify_vs_sha256sum.sh [BUILD_DIR] [--report]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/bench/large_kit.sh"
bench_arguments "$@"

work=$(mktemp -d /tmp/kc-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT
make_large_kit "Create CD=YES" "Create Download=YES" "Create Disks=NO"
KITCOMP_EMPTY_PAUSE_MS=0 "$kitcomp" build -C 'B:\kit\kitcomp' > "$work/kitcomp.log" || { cat "$work/kitcomp.log" >&2; exit 1; }
cd_mb=$(du -sm "$work/out/CD" | cut -f1)
network_mb=$(du -sm "$work/out/network/netsetup.exe" | cut -f1)
files=("$work"/out/CD/* "$work/out/network/netsetup.exe")

# Both must succeed: a verifier that found problems would have checked less.
verify_images() { "$kitcomp" verify "$work/out/CD" "$work/out/network/netsetup.exe" > "$work/verify.log"; }
hash_files() { sha256sum "${files[@]}" > "$work/sha256sum.log"; }
verify_images || { cat "$work/verify.log" >&2; echo "the images are not sound" >&2; exit 1; }

runs=5
load=$(cut -d" " -f1-3 /proc/loadavg)
verify_times=""
sha_times=""
for _ in $(seq $runs); do
  sha_times+="$(timed hash_files)"$'\n'
  verify_times+="$(timed verify_images)"$'\n'
done
sha_s=$(printf '%s' "$sha_times" | best)
verify_s=$(printf '%s' "$verify_times" | best)
ratio=$(ratio "$verify_s" "$sha_s")
printf 'CD image: %s MB, network image: %s MB, %s files\nsha256sum: %.3f s (runs: %s)\nkitcomp verify: %.3f s (runs: %s)\nratio: %s (goal <= 1.5)\nload average at the start: %s\n' \
  "$cd_mb" "$network_mb" "${#files[@]}" "$sha_s" "$(printf '%s' "$sha_times" | tr '\n' ' ')" "$verify_s" \
  "$(printf '%s' "$verify_times" | tr '\n' ' ')" "$ratio" "$load"

if [ "$report" = yes ]; then
  section=$(cat <<MD
## Image verification

\`bench/verify_vs_sha256sum.sh\` builds the large kit's CD image ($cd_mb MB) and network image ($network_mb MB),
then times \`kitcomp verify\` of both against \`sha256sum\` of the same ${#files[@]} files (the CD image's and
\`netsetup.exe\`). Best of $runs alternating runs, files in the page cache, load average $load at the start, on
this project's 2-core machine ($(date -u +%Y-%m-%d)):

| run | seconds |
| --- | --- |
| sha256sum | $(printf '%.3f' "$sha_s") |
| kitcomp verify | $(printf '%.3f' "$verify_s") |
| ratio | $ratio (goal at most 1.5) |

The verifier reads more than sha256sum: every file once for its SHA-256, every module archive again
for its entries' CRCs, and the network image once for its whole-file digest besides its payload's
files. It is still faster because its SHA-256 is OpenSSL's, for the files and the whole-file digest alike,
which uses the processor's SHA instructions where it has them (this machine does), while coreutils'
\`sha256sum\` hashes in plain C; without them the ratio would be higher, since the network image's
bytes are hashed twice.
MD
)
  replace_doc_section "Image verification" "$section"
fi
