#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Lumivex developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Says in one line which tests the builds skipped, and why (each test's "SKIP: ..." line); with
# CI set, a skip is a failure, since a test that did not run proves nothing:
#   tests/skipped.py BUILD...      (each BUILD folder holds the tests.xml that ctest wrote)
import os, re, sys
import xml.etree.ElementTree as ElementTree

skipped = []
for build in sys.argv[1:]:
    for case in ElementTree.parse(os.path.join(build, "tests.xml")).iter("testcase"):
        if case.get("status") != "run" and case.find("failure") is None:
            why = re.findall(r"^SKIP: (.*)$", case.findtext("system-out") or "", re.M)
            skipped.append(f"{case.get('name')} ({os.path.basename(build)}: "
                           f"{why[-1] if why else 'no reason given'})")
print("Skipped: " + "; ".join(skipped) if skipped else "none skipped")
sys.exit(1 if skipped and os.environ.get("CI") else 0)
