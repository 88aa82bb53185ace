// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "lumivex.h"

int main(int argc, char** argv) {
    if (const auto ended = app::answerBeforeStart(argc, argv))
        return *ended;
    app::Lumivex lumivex(argc, argv);
    return lumivex.run();
}
