#!/usr/bin/env bash
# Packaging tools benchmark, each figure a ratio measured side by side in one run:
#  - merge: adding one 6-byte file to a 160 MiB archive (`squash -i -o -sh
#    FILE ARCHIVE CONFIG`, as the build does into lume.z) with this squash
#    against the squash that decompressed and re-deflated the whole archive in
#    memory (built from OLD_REF), time and peak memory (/usr/bin/time's);
#  - extraction: `netsetup.exe --noexec` of a 200 MB stored self-extracting
#    file (checksum included) against `tar -x` of an uncompressed tar of the
#    same files, both into the same file system; and its whole-file check
#    alone (`--check`) against `openssl dgst -sha256` of the same file, the
#    floor of any extraction that hashes every byte.
# Each side runs RUNS times, alternating, and its best time counts (the machine
# is shared). With --report the "Packaging tools" section of
# docs/performance.md is replaced.
#
# Usage: bench/tools_vs_standard.sh [BUILD_DIR] [--report]
#   OLD_SQUASH=path  an old squash.exe to compare with (else built from OLD_REF)
#   OLD_REF=commit   the commit to build it from (default: the last one with the
#                    in-memory merge)
#   RUNS=n           repetitions per side (default 5)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$top/build
report=no
for arg in "$@"; do
  case $arg in
    --report) report=yes ;;
    *) build=$arg ;;
  esac
done
tools=$build/tools
[ -x "$tools/squash.exe" ] && [ -x "$tools/sfxmaker.exe" ] || { echo "build the tools first (cmake --build $build)" >&2; exit 2; }
runs=${RUNS:-5}
old_ref=${OLD_REF:-279bd3a}

# --- the old squash ----------------------------------------------------------
old_squash=${OLD_SQUASH:-}
if [ -z "$old_squash" ]; then
  cache=${XDG_CACHE_HOME:-$HOME/.cache}/kc-bench-old-squash-$old_ref
  old_squash=$cache/build/tools/squash.exe
  if [ ! -x "$old_squash" ]; then
    echo "building the old squash from $old_ref in $cache..." >&2
    rm -rf "$cache"
    mkdir -p "$cache"
    git -C "$top" archive "$old_ref" | tar -x -C "$cache"
    cmake -S "$cache" -B "$cache/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKITCOMP_GUI=OFF \
      -DKITCOMP_TESTS=OFF >/dev/null
    cmake --build "$cache/build" --target squash >/dev/null
  fi
fi

work=$(mktemp -d /tmp/kc-tools-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT
export KITCOMP_DRIVES="b=$work"
export TMPDIR=$work/tmp
mkdir -p "$TMPDIR"

echo "generating 24 files of 8 MiB..." >&2
mkdir -p "$work/stage" "$work/one"
for i in $(seq -w 1 24); do head -c $((8 << 20)) /dev/urandom > "$work/stage/module$i.z"; done
printf 'pref=1' > "$work/one/velomark.cfg"
mkdir -p "$work/merge-stage"
for i in $(seq -w 1 20); do ln "$work/stage/module$i.z" "$work/merge-stage/module$i.z"; done

# Each squash merges into an archive it made itself.
"$old_squash" -i -o -sh 'B:\merge-stage\*.*' 'B:\old-base.z' >/dev/null
"$tools/squash.exe" -i -o -sh 'B:\merge-stage\*.*' 'B:\new-base.z' >/dev/null
archive_mib=$(( $(stat -c %s "$work/new-base.z") >> 20 ))

# One timed run: prints "<wall seconds> <CPU seconds, user + system>", both to
# the millisecond (bash's own clock and its children's resource usage; the
# 10 ms of /usr/bin/time are too coarse for runs of a tenth of a second).
timed() {
  local TIMEFORMAT='%3R %3U %3S'
  { time "$@" >/dev/null 2>"$work/err.out"; } 2>"$work/time.out" || { cat "$work/err.out" >&2; exit 1; }
  awk '{ printf "%s %.3f\n", $1, $2 + $3 }' "$work/time.out"
}
# The same with the run's peak memory from /usr/bin/time: "<wall> <peak KiB> <CPU>".
timed_memory() {
  read -r wall cpu <<<"$(timed /usr/bin/time -f %M -o "$work/memory.out" "$@")"
  echo "$wall $(cat "$work/memory.out") $cpu"
}
merge_with() {  # squash, base archive
  cp "$2" "$work/target.z"
  sync
  timed_memory "$1" -i -o -sh 'B:\one\velomark.cfg' 'B:\target.z' CONFIG
}

old_times="" new_times="" old_mem=0 new_mem=0
for _ in $(seq "$runs"); do
  read -r t m _ <<<"$(merge_with "$old_squash" "$work/old-base.z")"
  old_times+="$t"$'\n'; [ "$m" -gt "$old_mem" ] && old_mem=$m
  read -r t m _ <<<"$(merge_with "$tools/squash.exe" "$work/new-base.z")"
  new_times+="$t"$'\n'; [ "$m" -gt "$new_mem" ] && new_mem=$m
done
"$tools/squash.exe" --list 'B:\target.z' | grep -q $'\tvelomark.cfg\tCONFIG$' || { echo "the merge lost the new file" >&2; exit 1; }

# --- extraction --------------------------------------------------------------
rm -rf "$work/merge-stage" "$work"/*.z
printf '[SFX Maker]\r\nSrcDir=B:\\stage\\\r\nDestDir=B:\\\r\nCmdLine=setup.exe\r\nCompress=0\r\n' > "$work/sfxmaker.ini"
"$tools/sfxmaker.exe" 'B:\sfxmaker.ini' >/dev/null
(cd "$work/stage" && tar -cf "$work/stage.tar" .)
sfx_mb=$(( $(stat -c %s "$work/netsetup.exe") / 1000000 ))

extract_sfx() {
  rm -rf "$TMPDIR"/netsetup-*
  sync
  timed "$work/netsetup.exe" --noexec
}
extract_tar() {
  rm -rf "$work/untar"
  mkdir "$work/untar"
  sync
  timed tar -xf "$work/stage.tar" -C "$work/untar"
}
check_sfx() { timed "$work/netsetup.exe" --check; }
digest_sfx() { timed openssl dgst -sha256 "$work/netsetup.exe"; }
sfx_times="" tar_times="" check_times="" digest_times=""
for _ in $(seq "$runs"); do
  sfx_times+="$(extract_sfx)"$'\n'
  tar_times+="$(extract_tar)"$'\n'
  check_times+="$(check_sfx)"$'\n'
  digest_times+="$(digest_sfx)"$'\n'
done
cmp -s "$work/stage/module07.z" "$(ls -d "$TMPDIR"/netsetup-*)/module07.z" || { echo "extraction differs" >&2; exit 1; }

best() { awk -v f="${1:-1}" 'NR == 1 || $f < m { m = $f } END { printf "%.3f", m }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }
old_s=$(printf '%s' "$old_times" | best)
new_s=$(printf '%s' "$new_times" | best)
sfx_s=$(printf '%s' "$sfx_times" | best)
tar_s=$(printf '%s' "$tar_times" | best)
sfx_cpu=$(printf '%s' "$sfx_times" | best 2)
tar_cpu=$(printf '%s' "$tar_times" | best 2)
extract_cpu_ratio=$(ratio "$sfx_cpu" "$tar_cpu")
check_s=$(printf '%s' "$check_times" | best)
check_cpu=$(printf '%s' "$check_times" | best 2)
digest_s=$(printf '%s' "$digest_times" | best)
check_ratio=$(ratio "$check_s" "$digest_s")
check_tar_ratio=$(ratio "$check_s" "$tar_s")
merge_ratio=$(ratio "$new_s" "$old_s")
extract_ratio=$(ratio "$sfx_s" "$tar_s")
new_mem_mib=$(awk -v k="$new_mem" 'BEGIN { printf "%.1f", k / 1024 }')
old_mem_mib=$(awk -v k="$old_mem" 'BEGIN { printf "%.1f", k / 1024 }')
load=$(cut -d" " -f1-3 /proc/loadavg)
if awk -v r="$extract_ratio" 'BEGIN { exit !(r <= 0.6) }'; then
  verdict="The goal of 0.6 is met in this run."
else
  verdict="The goal of 0.6 is not met: the check alone takes $check_tar_ratio of \`tar -x\`'s time
(last row), and the extraction cannot end before its check does; reaching 0.6 would need a SHA-256
faster than one core of this processor gives, or a check that hashes less than every byte."
fi

printf 'merge into a %s MiB archive: %s s (old squash %s s), ratio %s (goal <= 0.1)\n' "$archive_mib" "$new_s" "$old_s" "$merge_ratio"
printf 'merge peak memory: %s MiB (old squash %s MiB, goal <= 32 MiB)\n' "$new_mem_mib" "$old_mem_mib"
printf 'extraction of a %s MB self-extracting file: %s s (tar -x %s s), ratio %s (goal <= 0.6)\n' "$sfx_mb" "$sfx_s" "$tar_s" "$extract_ratio"
printf 'extraction CPU time (user + system): %s s (tar -x %s s), ratio %s\n' "$sfx_cpu" "$tar_cpu" "$extract_cpu_ratio"
printf 'of which the whole-file check (--check alone): %s s, CPU %s s (openssl dgst -sha256 %s s), ratio %s\n' \
  "$check_s" "$check_cpu" "$digest_s" "$check_ratio"
printf 'the check alone against tar -x: ratio %s\n' "$check_tar_ratio"
printf 'load average at the end: %s\n' "$load"

if [ "$report" = yes ]; then
  doc="$top/docs/performance.md"
  section=$(cat <<MD
## Packaging tools

\`bench/tools_vs_standard.sh\` measures, side by side in one run, best of $runs alternating runs
($(date -u +%Y-%m-%d), load average $load at the end, on this project's machine: 2 virtual cores of
an AMD EPYC, ext4, Debian 12, RelWithDebInfo; the cores are shared with other developers' builds):

| what | this version | compared with | ratio | goal |
| --- | --- | --- | --- | --- |
| one-file merge (\`squash -i -o -sh\`) into a $archive_mib MiB archive | $new_s s | old squash (in-memory merge, $old_ref) $old_s s | $merge_ratio | at most 0.1 |
| peak memory of that merge | $new_mem_mib MiB | old squash $old_mem_mib MiB | | at most 32 MiB |
| extraction of a $sfx_mb MB stored self-extracting file (\`--noexec\`, checksum included) | $sfx_s s | \`tar -x\` of an uncompressed tar $tar_s s | $extract_ratio | at most 0.6 |
| its CPU time (user + system) | $sfx_cpu s | \`tar -x\` $tar_cpu s | $extract_cpu_ratio | |
| the whole-file check alone (\`--check\`), wall and CPU | $check_s s, $check_cpu s | \`openssl dgst -sha256\` of the same file $digest_s s | $check_ratio | |
| that check against \`tar -x\` | $check_s s | $tar_s s | $check_tar_ratio | |

The merge copies the 20 kept entries as their compressed bytes are and deflates only the new
6-byte file; its memory is the copy buffer and the zip directory, whatever the archive's size.
Every run of the extractor first proves the whole file intact: one SHA-256 over all its bytes,
which no second core can share. That check is OpenSSL's SHA-256 on the processor's SHA
instructions (about 1.8 GB/s on this machine, the speed \`openssl speed -evp sha256\` gives), with
the file read ahead by a thread of its own so the hashing thread does nothing else; it is as fast
as \`openssl dgst -sha256\` of the same file or faster (row five). Into a fresh temporary folder the
extraction runs beside it on the other core: each file's blocks are reserved first (\`fallocate\`)
and its stored data copied in the kernel (\`copy_file_range\`), which takes well under half of
\`tar\`'s CPU time (row four less row five), so the extraction ends a little after its check.
$verdict
MD
)
  python3 "$top/bench/replace_doc_section.py" "$doc" "Packaging tools" "$section"
  echo "wrote the Packaging tools section of $doc" >&2
fi
