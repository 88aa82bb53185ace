// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "record.h"

#include <QByteArray>

#include <cstdio>
#include <vector>

namespace records {

// RFC 4180: a header row, CRLF line ends, UTF-8, fields quoted where they must be.
QByteArray toCsv(const std::vector<Record>& games);

// --export-records: every game kept, oldest first, to `out`; the exit status. The file is only
// read, never made, moved or changed.
int exportCsv(std::FILE* out, std::FILE* err);

} // namespace records
