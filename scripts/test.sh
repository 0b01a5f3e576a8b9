#!/usr/bin/env bash
# Builds and runs the whole test suite: plain build, sanitizer build, fuzzers.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

echo "== build and test =="
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs"
log=$(mktemp); trap 'rm -f "$log"' EXIT
ctest --test-dir build --output-on-failure -j "$jobs" | tee "$log"

echo "== address and undefined-behaviour sanitizers =="
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTARVO_SANITIZE=ON -DTARVO_BENCH=OFF >/dev/null
cmake --build build-asan -j "$jobs"
UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs" | tee -a "$log"

echo "== fuzz targets =="
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DTARVO_FUZZ=ON -DTARVO_BENCH=OFF >/dev/null
cmake --build build-fuzz -j "$jobs" --target fuzz_all
for f in build-fuzz/bin/fuzz_*; do
  [ -x "$f" ] || continue
  name=$(basename "$f")
  echo "-- $name"
  # A target with committed seeds starts from them; what it finds goes to a
  # scratch corpus in the build tree, never into the sources.
  corpus=()
  if [ -d "fuzz/corpus/$name" ]; then
    mkdir -p "build-fuzz/corpus/$name"
    corpus=("build-fuzz/corpus/$name" "fuzz/corpus/$name")
  fi
  # A crashing input is kept in the build tree too, not in the sources.
  "$f" "${corpus[@]}" -artifact_prefix="build-fuzz/$name-" -max_total_time="${FUZZ_SECONDS:-20}" \
    -print_final_stats=0 2>&1 | tail -n 2
done

echo "== Debian package =="
(cd build && cpack -G DEB >/dev/null)
deb=$(ls -t build/packages/tarvoprog_*.deb | head -n 1)
dpkg-deb -f "$deb" Package Version Depends
dpkg-deb -c "$deb"
dpkg-deb -c "$deb" | grep -q '/usr/share/tarvoprog/translations/qtbase_ro.qm$' ||
  { echo "the package lacks the Romanian of Qt's dialogs" >&2; exit 1; }

# Both suites passed (a failure stops this script earlier): one closing count.
total=$(grep -Eo 'tests passed, 0 tests failed out of [0-9]+' "$log" | awk '{s += $NF} END {print s + 0}')
echo "tests: $total passed, 0 failed"
