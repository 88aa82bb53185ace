#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Lumivex developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, then builds and runs every test twice: as built for debugging, and
# under AddressSanitizer and UndefinedBehaviorSanitizer; ends by naming every test skipped, which
# fails the run where CI is set.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
export QT_QPA_PLATFORM=offscreen
# Qt wants a private runtime folder; without one it warns on every start.
export XDG_RUNTIME_DIR="$PWD/build/runtime"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
jobs=$(nproc)

# The benchmark is built too, so that a change it depends on cannot break it unnoticed.
cmake -S . -B build/debug -G Ninja -DLUMIVEX_WERROR=ON -DCMAKE_BUILD_TYPE=Debug \
    -DLUMIVEX_BENCH=ON >/dev/null
cmake --build build/debug -j "$jobs"
suite() { ctest --test-dir "$1" --output-on-failure -j "$jobs" --output-junit "$PWD/$1/tests.xml"; }
suite build/debug

cmake -S . -B build/sanitize -G Ninja -DLUMIVEX_WERROR=ON -DCMAKE_BUILD_TYPE=Debug -DLUMIVEX_SANITIZE=ON >/dev/null
cmake --build build/sanitize -j "$jobs"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tests/sanitizer/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
suite build/sanitize
scripts/skipped.py build/debug build/sanitize
