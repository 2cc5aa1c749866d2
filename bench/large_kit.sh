# The large kit of the build benchmarks and their timing and report helpers,
# sourced by them: a copy of the sample kit in "$work/kit" whose modules are 24
# archives of 8 MB of incompressible data each (about 200 MB), its default
# configuration building into B:\out, and drive B: mapped onto "$work"
# (KITCOMP_DRIVES). Needs $build (the build tree with kitcomp and the kit) and
# $work (an empty folder).
#   make_large_kit "Create CD=YES" "Create Disks=YES" ...   (the image requests)
make_large_kit() {
  local modules=24 module_mb=8 i stem mods=""
  export KITCOMP_DRIVES="b=$work;z=/"
  mkdir -p "$work/kit"
  cp -r "$build/kit/kitcomp" "$build/kit/source" "$build/kit/samples" "$work/kit/"
  echo "generating $modules modules of $module_mb MB..." >&2
  for i in $(seq -w 1 $modules); do
    stem=big$i
    mkdir -p "$work/gen/$stem"
    head -c $((module_mb * 1024 * 1024)) /dev/urandom > "$work/gen/$stem/data.bin"
    "$work/kit/kitcomp/squash.exe" "B:\\gen\\$stem\\data.bin" "B:\\kit\\source\\modules\\$stem.z" >/dev/null
    kit_ini "[Defaults]" "Name=Module $i" > "$work/kit/source/modules/$stem.ini"
    kit_ini "; script $i" > "$work/kit/source/modules/$stem.ins"
    mods+="Module $i=$stem"$'\r\n'
  done
  rm -rf "$work/gen"
  {
    kit_ini "[Global]" "Platform=32" "[Choices-32]" "NetOrLocal=Local" "$@" "Output Path=B:\\out" "Show Dialogs=YES"
    printf '[Mods-32]\r\n%s' "$mods"
    kit_ini "[Main Modules 32]" "Lumenary 4.5=lume"
  } > "$work/kit/kitcomp/default.dkb"
  sed -i "s|^INSTALLED PATH=.*|INSTALLED PATH=B:\\\\kit\r|" "$work/kit/kitcomp/kitcomp.ini"
  large_kit_modules=$modules
  large_kit_mb=$(du -sm "$work/kit/source/modules" | cut -f1)
}

# The benchmarks' arguments, [BUILD_DIR] [--report]: sets build, report and
# kitcomp, and stops unless kitcomp and the kit are built. Needs $top.
bench_arguments() {
  build=${1:-$top/build}
  report=no
  [ "${2:-}" = "--report" ] || [ "${1:-}" = "--report" ] && report=yes
  [ "${1:-}" = "--report" ] && build=$top/build
  kitcomp=$build/src/app/kitcomp
  [ -x "$kitcomp" ] && [ -d "$build/kit/kitcomp" ] || { echo "build kitcomp and the kit first (cmake --build $build)" >&2; exit 2; }
}

kit_ini() { printf '%s\r\n' "$@"; }
now() { date +%s.%N; }
# The smallest of the numbers on standard input, with three decimals.
best() { awk 'NR == 1 || $1 < m { m = $1 } END { printf "%.3f", m }'; }
# The first number divided by the second, with two decimals.
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
# Seconds a command takes, after a sync so that earlier writes do not count.
timed() {
  local t0 t1
  sync
  t0=$(now)
  "$@"
  t1=$(now)
  awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f\n", b - a }'
}

# Replaces the section of docs/performance.md that begins with "## $1" by $2
# (a whole section, heading included), or appends it.
replace_doc_section() {
  local doc="$top/docs/performance.md"
  python3 "$top/bench/replace_doc_section.py" "$doc" "$1" "$2"
  echo "wrote the $1 section of $doc" >&2
}
