// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The controls a window's layout is made of, one room for each kind: the windowless ones its
// container paints (windowless.h), those that wrap a widget of their own (windowed.h, the text
// box in textbox.h), the timer (timer.h) and the window itself (form.h).
#pragma once

#include "form.h"
#include "textbox.h"
#include "timer.h"
#include "windowed.h"
#include "windowless.h"
