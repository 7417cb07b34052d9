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
  local preset=$1; shift
  local log=$log_dir/build-$preset.log
  local targets=()
  (($#)) && targets=(--target "$@")
  local started=$SECONDS
  if cmake --preset "$preset" -B "$build_root/$preset" >"$log" 2>&1 &&
    cmake --build "$build_root/$preset" -j2 "${targets[@]}" >>"$log" 2>&1; then
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

# check_imports EXE OBJDUMP: the executable imports system DLLs only, so it
# runs without any DLL of the compiler beside it.
check_imports() {
  local exe=$1 objdump=$2
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
  echo "imports $(basename "$exe"): $(tr '\n' ' ' <<<"$dlls")"
}
