#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan, UBSan) and runs the page-file fuzzer on a
# copy of its seed corpus for the given number of seconds (default 60). A finding ends the
# run with a non-zero status and leaves the input in build-fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
bash scripts/install-deps.sh
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELEAN13_FUZZ=ON -DVELEAN13_TESTS=OFF
cmake --build build-fuzz -j"${JOBS:-2}" --target fuzz_page_file
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp fuzz/corpus/page_file/* "$work/"
mkdir -p build-fuzz/findings
set +e
# The offscreen platform's note about raising the memo controls' hidden host is dropped.
QT_QPA_PLATFORM=offscreen build-fuzz/fuzz/fuzz_page_file -max_total_time="$seconds" \
  -artifact_prefix=build-fuzz/findings/ -print_final_stats=1 "$work" 2>&1 | grep -v 'does not support raise()'
status=${PIPESTATUS[0]}
exit "$status"
