#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Lumivex developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the word-list benchmark in Release and prints its table: a few seconds, no display.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
build=build/bench
cmake -S . -B "$build" -G Ninja -DLUMIVEX_WERROR=ON -DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG" \
  -DBUILD_TESTING=OFF -DLUMIVEX_BENCH=ON >/dev/null
cmake --build "$build" -j "$(nproc)" --target lumivex-words-bench
QT_QPA_PLATFORM=offscreen exec "$build/bench/lumivex-words-bench"
