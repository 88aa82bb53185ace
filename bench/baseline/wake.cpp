// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A process that wakes every 50 ms and does nothing else: what the machine charges for the
// wake-ups of a 20-per-second timer alone, before any program runs in them.
#include <poll.h>

int main() {
    for (;;)
        poll(nullptr, 0, 50);
}
