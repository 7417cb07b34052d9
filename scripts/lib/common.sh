# Sourced by scripts/build and scripts/test.

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# Everything a build or a test run writes lies below this folder.
build_root=${TARN_BUILD_ROOT:-$repo/build}
log_dir=$build_root/logs
mkdir -p "$log_dir"

# build_preset PRESET [TARGET...]: configures and builds into
# $build_root/PRESET, quietly; the output goes to $log_dir/build-PRESET.log.
# Prints one line; on failure also the end of the log. Returns the status.
build_preset() {
  build_preset_in "$build_root/$1" "$@"
}

# build_preset_in FOLDER PRESET [TARGET...]: the same into another folder.
build_preset_in() {
  local folder=$1; shift
  local preset=$1; shift
  local log=$log_dir/build-$preset.log
  [[ $folder == "$build_root/$preset" ]] || log=$log_dir/build-$preset-$(basename "$folder").log
  local targets=()
  (($#)) && targets=(--target "$@")
  local started=$SECONDS
  if cmake --preset "$preset" -B "$folder" >"$log" 2>&1 &&
    cmake --build "$folder" -j2 "${targets[@]}" >>"$log" 2>&1; then
    echo "build $preset: ok ($((SECONDS - started)) s)"
    return 0
  fi
  echo "build $preset: FAILED ($((SECONDS - started)) s; log: $log)"
  if grep -qE 'error:|Error:|CMake Error' "$log"; then
    grep -E -A3 'error:|Error:|CMake Error' "$log" | head -n 30 | sed 's/^/  /'
  else
    tail -n 15 "$log" | sed 's/^/  /'
  fi
  return 1
}

# strip_shipped STRIP SOURCE DEST: the shipped copy, without symbol tables.
# Stripping a PE file writes the time into its header unless SOURCE_DATE_EPOCH
# names one: a fixed one, so that two builds of one source give one file.
strip_shipped() {
  SOURCE_DATE_EPOCH=0 "$1" -o "$3" "$2"
}

# check_imports EXE OBJDUMP [DLL...]: the executable imports system DLLs
# only, so it runs without any DLL of the compiler beside it; with DLLs
# named, those alone, since every DLL of the import table is loaded before
# the program starts (the launchers delay-load the others:
# cmake/delay_imports.cmake).
check_imports() {
  local exe=$1 objdump=$2
  shift 2
  local dlls
  if ! dlls=$("$objdump" -p "$exe" | awk '/DLL Name:/ {print $3}'); then
    echo "imports $(basename "$exe"): cannot read the import table"
    return 1
  fi
  local bad
  bad=$(grep -iE 'libstdc\+\+|libgcc|libwinpthread' <<<"$dlls" || true)
  if [[ -n $bad ]]; then
    echo "imports $(basename "$exe"): FAILED, needs $(tr '\n' ' ' <<<"$bad")"
    return 1
  fi
  if (($# > 0)); then
    local dll extra=
    for dll in $dlls; do
      [[ " ${*,,} " == *" ${dll,,} "* ]] || extra+="$dll "
    done
    if [[ -n $extra ]]; then
      echo "imports $(basename "$exe"): FAILED, loads ${extra}at every start (only $* are meant to)"
      return 1
    fi
  fi
  echo "imports $(basename "$exe"): $(tr '\n' ' ' <<<"$dlls")"
}

# The fuzz targets' memory bounds. The readers keep their memory a small
# multiple of the input; an input that reads as far more than it holds (an
# image or a name copied at every use) stops the run as out of memory.
fuzz_memory_limits=(-rss_limit_mb=512 -malloc_limit_mb=128)
