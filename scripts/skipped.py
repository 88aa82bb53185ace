#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Lumivex developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Says in one line which tests the builds skipped, and why (each test's "SKIP: ..." line); with
# CI set, a skip is a failure, since a test that did not run proves nothing:
#   scripts/skipped.py BUILD...    (each BUILD folder holds the tests.xml that ctest wrote)
import os, re, sys, xml.etree.ElementTree as ElementTree

why = lambda case: (re.findall(r"^SKIP: (.*)$", case.findtext("system-out") or "", re.M) or
                    ["no reason given"])[-1]
skipped = [f"{case.get('name')} ({os.path.basename(build)}: {why(case)})" for build in sys.argv[1:]
           for case in ElementTree.parse(f"{build}/tests.xml").iter("testcase")
           if case.get("status") not in ("run", "fail")]
print("Skipped: " + "; ".join(skipped) if skipped else "none skipped")
sys.exit(1 if skipped and os.environ.get("CI") else 0)
