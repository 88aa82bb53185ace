#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Lumivex developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Lumivex in Release and, with the same compiler and flags, an empty Qt 6 Widgets
# window; measures both on a private Xvfb, alternating, and writes build/bench/results.md.
# Run counts and durations can be changed through the BENCH_* variables of bench/measure.py.
#   bench/run.sh words     only reads a list of 10,000 words and prints the figures: seconds, no display
#   bench/run.sh records   only keeps games and opens the records window over 10,000 of them
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
build=build/bench
cmake -S . -B "$build" -G Ninja -DLUMIVEX_WERROR=ON -DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG" \
  -DBUILD_TESTING=OFF -DLUMIVEX_BENCH=ON >/dev/null
cmake --build "$build" -j "$(nproc)"
[ "${1:-}" = words ] && QT_QPA_PLATFORM=offscreen exec "$build/bench/lumivex-words-bench"
[ "${1:-}" = records ] && QT_QPA_PLATFORM=offscreen exec "$build/bench/lumivex-records-bench"
exec python3 bench/measure.py "$build"
