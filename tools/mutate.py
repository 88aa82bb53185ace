#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Lumivex developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""First-order mutation testing for a C++ project built with CMake + Ninja and tested by ctest.

Standard library only. Subcommands:

  list    generate the mutants of a plan and print them (or, with --count, a count per file
          and operator)
  run     apply each mutant in turn to a source tree (a scratch copy), rebuild incrementally
          with ninja, run a ctest selection with a per-mutant time limit, record killed /
          survived / build_failed / timeout (and which tests and test functions failed), and
          restore the file; results go to a JSON file after every mutant, so a run can be
          stopped (SIGINT/SIGTERM restore the file) and resumed with --resume
  report  write the Markdown summary from a results file, with optional judgements of the
          survivors ({id or key: {verdict: equivalent|unreachable|gap, rank, note}}) and an
          optional hand-written preamble
  sloc    count non-blank, non-comment lines of files or folders
  carry   the keys, in another tree (the same code after a move or a tidy-up), of the mutants
          of a results file: the same operator turning the same source line into the same line,
          in a file of the same name; prints them comma-separated for run --ids, and on standard
          error the mutants whose line is gone

A plan is: --files GLOB... (every mutant of those files) and any number of
--sample 'GLOB[:OP,OP][@FIRST-LAST]=N' (N mutants drawn with --seed from those files, only of
those operators and lines, never one already in the plan). Ids (M0001...) follow the plan's
order, so adding samples at the end keeps the earlier ids.

  git clone -q . ../scratch && cmake -S ../scratch -B ../scratch/build/debug -G Ninja -DCMAKE_BUILD_TYPE=Debug
  mutate.py run --src ../scratch --build ../scratch/build/debug \
      --files 'game/*.cpp' intro/steps.cpp --sample 'ui/*/*.cpp=40' --seed 1 \
      --label fast --exclude 'tst_random_player|tst_soak|session_|ime_' \
      --results results.json --resume
  mutate.py run ...same plan... --label full --ids M0012,M0031 --results results.json
  mutate.py report --results results.json --judgements judgements.json --out SUMMARY.md

Operators (one mutant per site unless noted):
  ROR   relational swap:   <  -> <=,  <= -> <,  > -> >=,  >= -> >,  == -> !=,  != -> ==
  AOR   arithmetic swap:   + <-> -,  * <-> /  (also += -= *= /=); not on string concatenation
  LOR   logical swap:      && <-> ||; in a chain that then mixes both, C++'s own grouping is
        written out in parentheses (-Wparentheses under -Werror would reject the mutant)
  BOOL  literal swap:      true <-> false
  CONST integer literal:   0 -> 1, 1 -> 0, n -> n+1 (--const-variants both adds 1 -> 2 and
        n -> 0); decimal literals only, not in template arguments
  NEG   condition negation: if (c) -> if (!(c)) (after an init-statement, only its condition)
  CALL  removal of a statement that is a single function call beginning a line (replaced by
        {} so that an unbraced if/for/else body stays a statement)
Unless --no-subsume: no CALL removal of f(true)/f(false) (the BOOL swap subsumes it) and no
NEG of a condition that is one == or != (the ROR swap gives the same program).

Binary operators are recognised only with white space on both sides, as clang-format writes
them; this keeps template brackets, pointers, references and unary minus out. Comments, string
and character literals and preprocessor lines (#include, #define ...) are never touched. In
headers, only lines of inline function bodies are mutated; pure declarations are skipped.
Mutants that give the same file are generated once.
"""

from __future__ import annotations

import argparse
import datetime as _dt
import fnmatch
import glob
import hashlib
import json
import os
import random
import re
import signal
import subprocess
import sys
import time
from pathlib import Path

CPP_EXTS = {".c", ".cc", ".cpp", ".cxx", ".h", ".hh", ".hpp", ".hxx", ".ipp", ".inl"}
HEADER_EXTS = {".h", ".hh", ".hpp", ".hxx", ".ipp", ".inl"}

# --------------------------------------------------------------------------------------------
# Lexing: one class per character.
#   c  code      m  comment      s  string or character literal      p  preprocessor line
# --------------------------------------------------------------------------------------------

RAW_PREFIX = re.compile(r'(?:u8|u|U|L)?R"([^ ()\\\t\n]{0,16})\(')


def classify(text: str) -> str:
    n = len(text)
    out = ["c"] * n
    i = 0
    line_start = True  # only white space seen since the last newline
    while i < n:
        ch = text[i]
        if ch == "\n":
            line_start = True
            i += 1
            continue
        if line_start and ch == "#":
            # A preprocessor line, with its backslash continuations.
            j = i
            while j < n:
                if text[j] == "\n" and (j == 0 or text[j - 1] != "\\"):
                    break
                j += 1
            for k in range(i, j):
                out[k] = "p"
            i = j
            continue
        if ch in " \t\r\f\v":
            i += 1
            continue
        line_start = False
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            for k in range(i, j):
                out[k] = "m"
            i = j
            continue
        if text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            for k in range(i, j):
                out[k] = "m"
            i = j
            continue
        m = RAW_PREFIX.match(text, i)
        if m and (i == 0 or not (text[i - 1].isalnum() or text[i - 1] == "_")):
            end_mark = ")" + m.group(1) + '"'
            j = text.find(end_mark, m.end())
            j = n if j < 0 else j + len(end_mark)
            for k in range(i, j):
                out[k] = "s"
            i = j
            continue
        if ch == '"' or (ch == "'" and not _is_digit_separator(text, i)):
            quote = ch
            j = i + 1
            while j < n and text[j] != quote and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            j = min(n, j + 1)
            for k in range(i, j):
                out[k] = "s"
            i = j
            continue
        i += 1
    return "".join(out)


def _is_digit_separator(text: str, i: int) -> bool:
    return 0 < i < len(text) - 1 and text[i - 1].isalnum() and text[i + 1].isalnum() and \
        re.search(r"\b\d[\w']*$", text[max(0, i - 40):i]) is not None


def is_code(classes: str, start: int, end: int) -> bool:
    return all(c == "c" for c in classes[start:end])


# --------------------------------------------------------------------------------------------
# Mutant generation
# --------------------------------------------------------------------------------------------

ROR = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "=="}
AOR = {"+": "-", "-": "+", "*": "/", "/": "*", "+=": "-=", "-=": "+=", "*=": "/=", "/=": "*="}
LOR = {"&&": "||", "||": "&&"}

RE_ROR = re.compile(r"(?<=\s)(<=|>=|==|!=|<|>)(?=\s)")
RE_AOR = re.compile(r"(?<=\s)(\+=|-=|\*=|/=|\+|-|\*|/)(?=\s)")
RE_LOR = re.compile(r"(?<=\s)(&&|\|\|)(?=\s)")
RE_BOOL = re.compile(r"\b(true|false)\b")
RE_INT = re.compile(r"(?<![\w.'])(\d+)([uUlL]*)(?![\w.'])")
RE_IF = re.compile(r"\bif\s*\(")
RE_CALL_HEAD = re.compile(r"[A-Za-z_~][\w]*(?:(?:::|\.|->)~?[A-Za-z_]\w*)*")

NOT_CALLS = {"if", "for", "while", "switch", "return", "sizeof", "static_assert", "delete",
             "throw", "catch", "case", "do", "else", "new", "co_return", "co_await", "co_yield",
             "alignof", "decltype", "typeid", "Q_OBJECT", "Q_UNUSED", "Q_ASSERT", "Q_DISABLE_COPY",
             "Q_DECLARE_METATYPE", "Q_GADGET", "Q_PROPERTY", "Q_ENUM", "Q_EMIT", "emit"}


class Mutant(dict):
    """A dict: id, key, file, line, col, op, start, end, original, replacement, ..."""


def line_of(text: str, offset: int) -> tuple[int, int]:
    line = text.count("\n", 0, offset) + 1
    col = offset - (text.rfind("\n", 0, offset) + 1) + 1
    return line, col


def match_paren(text: str, classes: str, open_at: int) -> int:
    """Index of the parenthesis closing the one at open_at, counting only code characters."""
    depth = 0
    for k in range(open_at, len(text)):
        if classes[k] != "c":
            continue
        if text[k] == "(":
            depth += 1
        elif text[k] == ")":
            depth -= 1
            if depth == 0:
                return k
    return -1


def header_line_ok(line: str) -> bool:
    """A header line that holds statements on its own: a return, a control statement, or a
    one-line inline body `f() { statement; }`."""
    s = line.strip()
    if re.search(r"\breturn\b", s) or re.match(r"(if|for|while|else)\b", s):
        return True
    return bool(re.search(r"\)[^;{]*\{[^{}]*;[^{}]*\}", s))


def function_body_lines(text: str, classes: str) -> set[int]:
    """Lines (1-based) that lie inside the braces of a function body: the `{` follows a
    parameter list, possibly with const, noexcept, override, final or a trailing return type.
    Class, namespace, enum and initializer braces do not count."""
    inside: set[int] = set()
    stack: list[bool] = []
    line = 1
    for k, ch in enumerate(text):
        if ch == "\n":
            line += 1
            if any(stack):
                inside.add(line)
            continue
        if classes[k] != "c":
            continue
        if ch == "{":
            j = previous_code(text, classes, k)
            head = text[max(0, j - 80):j + 1]
            is_body = bool(re.search(
                r"\)\s*(?:const\b\s*|noexcept\b\s*|override\b\s*|final\b\s*|"
                r"->\s*[\w:<>,\s*&]+)*$", head)) or any(stack)
            stack.append(is_body)
            if is_body:
                inside.add(line)
        elif ch == "}" and stack:
            stack.pop()
    return inside


def logic_chain(text: str, classes: str, at: int) -> tuple[int, int]:
    """The span of the && / || chain, at one bracket depth, around the operator at `at`."""
    def boundary(k: int) -> bool:
        ch = text[k]
        if ch in ",;?{}":
            return True
        if ch == ":":
            return text[k - 1:k + 1] != "::" and text[k:k + 2] != "::"
        if ch == "=":
            return text[k - 1] not in "=!<>" and text[k + 1:k + 2] != "="
        return False

    depth, lo = 0, at
    while lo > 0:
        k = lo - 1
        if classes[k] == "c":
            if text[k] in ")]":
                depth += 1
            elif text[k] in "([":
                if depth == 0:
                    break
                depth -= 1
            elif depth == 0 and boundary(k):
                break
            elif depth == 0 and re.search(r"\breturn$", text[max(0, k - 6):k + 1]):
                lo = k + 1
                break
        lo = k
    depth, hi = 0, at
    while hi < len(text):
        if classes[hi] == "c":
            if text[hi] in "([":
                depth += 1
            elif text[hi] in ")]":
                if depth == 0:
                    break
                depth -= 1
            elif depth == 0 and boundary(hi):
                break
        hi += 1
    return lo, hi


def lor_mutant(text: str, classes: str, at: int, op: str):
    """Swaps one && / ||, writing out C++'s own grouping in parentheses where the chain then
    mixes both: -Wparentheses under -Werror would otherwise turn the mutant into a build error."""
    lo, hi = logic_chain(text, classes, at)
    parts: list[str] = []
    ops_at: list[tuple[int, str]] = []
    depth, start = 0, lo
    k = lo
    while k < hi:
        if classes[k] == "c":
            if text[k] in "([":
                depth += 1
            elif text[k] in ")]":
                depth -= 1
            elif depth == 0 and text[k:k + 2] in ("&&", "||"):
                parts.append(text[start:k])
                ops_at.append((k, text[k:k + 2]))
                start = k + 2
                k += 2
                continue
        k += 1
    parts.append(text[start:hi])
    ops = [LOR[o] if pos == at else o for pos, o in ops_at]
    if len(set(ops)) < 2:
        return (at, at + 2, "LOR", op, LOR[op])
    # group the && runs: a && b || c && d  ->  (a && b) || (c && d)
    lead = len(parts[0]) - len(parts[0].lstrip())
    trail = len(parts[-1]) - len(parts[-1].rstrip())
    items = [p.strip() for p in parts]
    groups: list[list[str]] = [[items[0]]]
    for o, item in zip(ops, items[1:]):
        if o == "&&":
            groups[-1].append(item)
        else:
            groups.append([item])
    body = " || ".join(f"({' && '.join(g)})" if len(g) > 1 else g[0] for g in groups)
    start, end = lo + lead, hi - trail
    return (start, end, "LOR", text[start:end], body)


def single_equality(text: str, classes: str, start: int, end: int) -> bool:
    """A condition that is one == or != comparison, with no && or || at any depth."""
    code = "".join(ch if classes[k] == "c" else " " for k, ch in enumerate(text[start:end],
                                                                         start))
    return len(re.findall(r"(?<=\s)(==|!=)(?=\s)", code)) == 1 and not re.search(
        r"&&|\|\||(?<=\s)(<=|>=|<|>)(?=\s)", code)


def generate(root: Path, rel: str, ops: set[str], const_variants: str = "single",
             subsume: bool = True) -> list[Mutant]:
    path = root / rel
    text = path.read_text(encoding="utf-8")
    classes = classify(text)
    lines = text.split("\n")
    header = path.suffix in HEADER_EXTS
    found: list[tuple[int, int, str, str, str]] = []  # start, end, op, original, replacement

    body_lines = function_body_lines(text, classes) if header else set()

    def in_body(ln: int) -> bool:
        return ln in body_lines or header_line_ok(lines[ln - 1])

    def ok(start: int, end: int) -> bool:
        if not is_code(classes, start, end):
            return False
        if header:
            ln, _ = line_of(text, start)
            return in_body(ln)
        return True

    if "ROR" in ops:
        for m in RE_ROR.finditer(text):
            if ok(m.start(), m.end()):
                found.append((m.start(), m.end(), "ROR", m.group(1), ROR[m.group(1)]))
    if "AOR" in ops:
        for m in RE_AOR.finditer(text):
            if not ok(m.start(), m.end()):
                continue
            if m.group(1) in ("+", "-", "+=", "-=") and joins_strings(text, classes, m.start()):
                continue  # string concatenation: a minus would not compile
            found.append((m.start(), m.end(), "AOR", m.group(1), AOR[m.group(1)]))
    if "LOR" in ops:
        for m in RE_LOR.finditer(text):
            if ok(m.start(), m.end()):
                found.append(lor_mutant(text, classes, m.start(), m.group(1)))
    if "BOOL" in ops:
        for m in RE_BOOL.finditer(text):
            if ok(m.start(), m.end()):
                found.append((m.start(), m.end(), "BOOL", m.group(1),
                              "false" if m.group(1) == "true" else "true"))
    if "CONST" in ops:
        for m in RE_INT.finditer(text):
            if not ok(m.start(), m.end()):
                continue
            ln, _ = line_of(text, m.start())
            if re.match(r"\s*(template\b|static_assert\b)", lines[ln - 1]):
                continue
            line_start = text.rfind("\n", 0, m.start()) + 1
            if re.search(r"\w<[^<>;(){}]*$", text[line_start:m.start()]):
                continue  # a template argument (std::array<T, 50>): changing it rarely builds
            digits, suffix = m.group(1), m.group(2)
            if len(digits) > 1 and digits.startswith("0"):
                continue  # octal
            n = int(digits)
            if const_variants == "both":
                variants = [1] if n == 0 else [0, 2] if n == 1 else [n + 1, 0]
            else:
                variants = [1] if n == 0 else [0] if n == 1 else [n + 1]
            for v in variants:
                found.append((m.start(), m.end(), "CONST", m.group(0), f"{v}{suffix}"))
    if "NEG" in ops:
        for m in RE_IF.finditer(text):
            if not ok(m.start(), m.end()):
                continue
            if re.match(r"\s*constexpr", text[m.end() - 1:]):
                continue
            open_at = m.end() - 1
            close_at = match_paren(text, classes, open_at)
            if close_at < 0:
                continue
            start = open_at + 1
            # "if (init; cond)": only the condition is negated
            depth = 0
            for k in range(open_at + 1, close_at):
                if classes[k] != "c":
                    continue
                if text[k] in "([{":
                    depth += 1
                elif text[k] in ")]}":
                    depth -= 1
                elif text[k] == ";" and depth == 0:
                    start = k + 1
            while start < close_at and text[start] in " \t\n":
                start += 1
            cond = text[start:close_at]
            if subsume and "ROR" in ops and single_equality(text, classes, start, close_at):
                continue  # !(a == b) is the ROR mutant a != b
            found.append((start, close_at, "NEG", cond, f"!({cond})"))
    if "CALL" in ops:
        for start, end in call_statements(text, classes):
            if header and not in_body(line_of(text, start)[0]):
                continue
            if subsume and "BOOL" in ops and re.fullmatch(r".*\((?:true|false)\)\s*;",
                                                          text[start:end], re.S):
                continue  # f(true) removed is either a no-op or the BOOL mutant f(false)
            found.append((start, end, "CALL", text[start:end], "{}"))

    mutants: list[Mutant] = []
    seen: set[str] = set()
    for start, end, op, original, replacement in sorted(found):
        mutated = text[:start] + replacement + text[end:]
        digest = hashlib.sha1(mutated.encode("utf-8")).hexdigest()
        if digest in seen:
            continue
        seen.add(digest)
        line, col = line_of(text, start)
        orig_line = lines[line - 1]
        first = mutated.split("\n")[line - 1]
        tag = replacement if len(replacement) <= 24 else \
            hashlib.sha1(replacement.encode("utf-8")).hexdigest()[:10]
        key = f"{rel}:{line}:{col}:{op}:{tag if op != 'CALL' else 'removed'}"
        if op == "NEG":
            key = f"{rel}:{line}:{col}:NEG"
        mutants.append(Mutant(key=key, file=rel, line=line, col=col, op=op, start=start, end=end,
                              original=_short(original), replacement=_short(replacement),
                              orig_line=orig_line.strip(), mutated_line=first.strip(),
                              replacement_full=replacement, digest=digest))
    return mutants


def _short(s: str, limit: int = 160) -> str:
    s = " ".join(s.split())
    return s if len(s) <= limit else s[:limit - 3] + "..."


def previous_code(text: str, classes: str, i: int) -> int:
    """Index of the last code character before i that is not white space, or -1."""
    k = i - 1
    while k >= 0 and (classes[k] != "c" or text[k].isspace()):
        k -= 1
    return k


def begins_statement(text: str, classes: str, i: int) -> bool:
    k = previous_code(text, classes, i)
    if k < 0 or text[k] in ";{}":
        return True
    if text[k] == ")":  # the header of an unbraced if / for / while body
        return True
    if text[k] == ":" and (k == 0 or text[k - 1] != ":"):  # a label, case or access specifier
        return True
    return bool(re.search(r"\b(else|do)$", text[max(0, k - 4):k + 1]))


def joins_strings(text: str, classes: str, at: int) -> bool:
    """Whether the + at `at` belongs to a statement that concatenates string literals."""
    lo = at
    while lo > 0 and not (classes[lo - 1] == "c" and text[lo - 1] in ";{}"):
        lo -= 1
    hi = at
    while hi < len(text) and not (classes[hi] == "c" and text[hi] in ";{}"):
        hi += 1
    stmt = text[lo:hi]
    return bool(re.search(r'"(?:_s|_L1)?\s*\)?\s*\+(?!\+)', stmt) or
                re.search(r'(?<!\+)\+\s*(?:QStringLiteral|QLatin1String|QString\b|u?8?")', stmt))


def call_statements(text: str, classes: str):
    """Spans of statements that are one function call, `a.b(x)->c(y);`, beginning a line."""
    for m in re.finditer(r"(?m)^[ \t]*(?=\S)", text):
        i = m.end()
        if classes[i] != "c" or not begins_statement(text, classes, i):
            continue
        head = RE_CALL_HEAD.match(text, i)
        if not head or head.group(0).split("::")[-1].split(".")[0] in NOT_CALLS:
            continue
        if head.group(0).split("::")[0] in NOT_CALLS:
            continue
        j = head.end()
        calls = 0
        while j < len(text):
            if text[j] == "(":
                close = match_paren(text, classes, j)
                if close < 0:
                    break
                j = close + 1
                calls += 1
                # a chained member call, or the end of the statement
                nxt = re.match(r"\s*(?:\.|->)\s*[A-Za-z_]\w*", text[j:j + 200])
                if nxt:
                    j += nxt.end()
                    continue
                break
            else:
                break
        if calls == 0:
            continue
        rest = re.match(r"[ \t]*;", text[j:j + 50])
        if not rest:
            continue
        end = j + rest.end()
        # the statement must end its line (a trailing comment is allowed)
        tail = text[end:text.find("\n", end) if text.find("\n", end) >= 0 else len(text)]
        if tail.strip() and not tail.strip().startswith("//"):
            continue
        # not a declaration such as `Type name(args);`: the head has no white space, so a
        # match here is an expression; but `Type(args);` alone is a temporary: rare, allowed
        yield i, end


def collect(root: Path, patterns: list[str]) -> list[str]:
    files: list[str] = []
    for pat in patterns:
        hits = sorted(glob.glob(str(root / pat)))
        if not hits:
            raise SystemExit(f"no file matches {pat!r} under {root}")
        for h in hits:
            rel = os.path.relpath(h, root)
            if rel not in files:
                files.append(rel)
    return files


ALL_OPS = ("ROR", "AOR", "LOR", "BOOL", "CONST", "NEG", "CALL")


def build_plan(args) -> list[Mutant]:
    root = Path(args.src)
    ops = set(args.ops.split(",")) if args.ops else set(ALL_OPS)
    every = collect(root, args.files or [])
    samples: list[tuple[str, int]] = []
    for sample in args.sample or []:
        pat, _, count = sample.rpartition("=")
        samples.append((pat, int(count)))
    all_ops = ops
    plan: list[Mutant] = []
    for rel in every:
        plan.extend(generate(root, rel, ops, args.const_variants, not args.no_subsume))
    rng = random.Random(args.seed)
    for pat, count in samples:
        # GLOB[:OP,OP...][@FIRST-LAST]=N draws only among those operators' mutants and lines;
        # mutants already in the plan are not drawn again
        pat, _, lines = pat.partition("@")
        first, _, last = lines.partition("-")
        pat, _, op_list = pat.partition(":")
        wanted = set(op_list.split(",")) if op_list else all_ops
        taken = {m["key"] for m in plan}
        pool: list[Mutant] = []
        for rel in collect(root, [pat]):
            if rel in every:
                continue
            pool.extend(m for m in generate(root, rel, all_ops, args.const_variants,
                                            not args.no_subsume)
                        if m["op"] in wanted and m["key"] not in taken
                        and (not lines or int(first) <= m["line"] <= int(last or first)))
        chosen = pool if count >= len(pool) else rng.sample(pool, count)
        plan.extend(sorted(chosen, key=lambda m: (m["file"], m["start"], m["key"])))
    # stable ids in plan order
    for n, m in enumerate(plan, 1):
        m["id"] = f"M{n:04d}"
    if args.ids:
        wanted = set(args.ids.split(","))
        plan = [m for m in plan if m["id"] in wanted or m["key"] in wanted]
    return plan


# --------------------------------------------------------------------------------------------
# Running
# --------------------------------------------------------------------------------------------

RE_CTEST_LINE = re.compile(
    r"^\s*\d+/\d+\s+Test\s+#\d+:\s+(\S+)\s+\.*\s*(\**\s*[A-Za-z][^\d]*?)\s+([\d.]+)\s+sec",
    re.M)


def run_capture(cmd, cwd=None, env=None, timeout=None):
    """Runs cmd in its own process group; on timeout kills the whole group."""
    start = time.monotonic()
    proc = subprocess.Popen(cmd, cwd=cwd, env=env, stdout=subprocess.PIPE,
                            stderr=subprocess.STDOUT, text=True, errors="replace",
                            start_new_session=True)
    try:
        out, _ = proc.communicate(timeout=timeout)
        return proc.returncode, out, time.monotonic() - start, False
    except subprocess.TimeoutExpired:
        _kill_group(proc)
        out, _ = proc.communicate()
        return None, out, time.monotonic() - start, True
    except BaseException:
        _kill_group(proc)  # interrupted: take the build or the tests down too
        proc.communicate()
        raise


def _kill_group(proc) -> None:
    try:
        os.killpg(proc.pid, signal.SIGKILL)
    except ProcessLookupError:
        pass


def _interrupt(signum, frame):
    raise KeyboardInterrupt(f"signal {signum}")


def touch_write(path: Path, content: str) -> None:
    path.write_text(content, encoding="utf-8")
    now = time.time_ns()
    os.utime(path, ns=(now, now))


class Runner:
    def __init__(self, args):
        self.args = args
        self.src = Path(args.src).resolve()
        self.build = Path(args.build).resolve()
        self.results_path = Path(args.results).resolve()
        self.journal = self.results_path.with_suffix(".restore.json")
        self.env = dict(os.environ)
        self.env["QT_QPA_PLATFORM"] = "offscreen"
        runtime = self.build / "mutation-runtime"
        runtime.mkdir(parents=True, exist_ok=True)
        os.chmod(runtime, 0o700)
        self.env["XDG_RUNTIME_DIR"] = str(runtime)
        self.env.setdefault("CTEST_OUTPUT_ON_FAILURE", "1")

    # results file: {"meta": ..., "runs": {label: {...}}, "mutants": {id: record}}
    def load(self) -> dict:
        if self.results_path.exists():
            return json.loads(self.results_path.read_text())
        return {"meta": {}, "runs": {}, "mutants": {}}

    def save(self, data: dict) -> None:
        tmp = self.results_path.with_suffix(".tmp")
        tmp.write_text(json.dumps(data, indent=1, ensure_ascii=False))
        os.replace(tmp, self.results_path)

    def recover(self) -> None:
        if self.journal.exists():
            j = json.loads(self.journal.read_text())
            touch_write(Path(j["path"]), j["content"])
            self.journal.unlink()
            print(f"restored {j['path']} from an interrupted run", flush=True)

    def ninja(self):
        cmd = ["ninja", "-C", str(self.build), f"-j{self.args.jobs}"] + (self.args.targets or [])
        return run_capture(cmd, timeout=self.args.build_timeout)

    def ctest(self, timeout):
        cmd = ["ctest", "--test-dir", str(self.build), "-j", str(self.args.jobs),
               "--output-on-failure", "--no-tests=error"]
        if self.args.exclude:
            cmd += ["-E", self.args.exclude]
        if self.args.include:
            cmd += ["-R", self.args.include]
        if self.args.stop_on_failure:
            cmd += ["--stop-on-failure"]
        return run_capture(cmd, cwd=str(self.build), env=self.env, timeout=timeout)

    @staticmethod
    def parse_ctest(out: str) -> tuple[dict, list[str]]:
        tests = {}
        for m in RE_CTEST_LINE.finditer(out):
            status = m.group(2).replace("*", "").strip()
            tests[m.group(1)] = {"status": status, "sec": float(m.group(3))}
        fails = [ln.strip() for ln in out.splitlines()
                 if ln.startswith("FAIL!") or "Loc: [" in ln or "terminate called" in ln
                 or "QFATAL" in ln or "Exception:" in ln or ln.startswith("FAIL:")][:12]
        return tests, fails

    @staticmethod
    def failed_functions(out: str) -> list[str]:
        names = re.findall(r"^(?:FAIL!|QFATAL) *: *(\w+::\w+)\(", out, re.M)
        names += [f"{m}::<crash>" for m in re.findall(r"^QFATAL *: *(\w+)::", out, re.M)]
        return sorted(set(names))

    def run(self) -> int:
        self.recover()
        plan = build_plan(self.args)
        data = self.load()
        label = self.args.label
        run_info = data["runs"].setdefault(label, {})
        run_info.update({"exclude": self.args.exclude, "include": self.args.include,
                         "targets": self.args.targets, "jobs": self.args.jobs})
        data["meta"].update({"src": str(self.src), "build": str(self.build),
                             "seed": self.args.seed, "files": self.args.files,
                             "sample": self.args.sample, "ops": self.args.ops,
                             "tool": "mutate.py"})
        for m in plan:
            rec = data["mutants"].setdefault(m["id"], {})
            if rec and rec.get("key") != m["key"]:
                raise SystemExit(f"{m['id']} in {self.results_path} is {rec.get('key')}, "
                                 f"but the plan says {m['key']}: use another results file")
            rec.update({k: v for k, v in m.items()
                        if k not in ("start", "end", "replacement_full", "digest")})
            rec.setdefault("results", {})
        self.save(data)

        todo = [m for m in plan if not (self.args.resume and label in
                                        data["mutants"][m["id"]]["results"])]
        print(f"{len(plan)} mutants in the plan, {len(todo)} to run under '{label}'", flush=True)
        if self.args.dry_run:
            for m in todo:
                print(f"{m['id']} {m['file']}:{m['line']} {m['op']:5} "
                      f"{m['original']!r} -> {m['replacement']!r}")
            return 0

        # Baseline: the unmutated tree must build and pass.
        rc, out, secs, _ = self.ninja()
        if rc != 0:
            print(out[-4000:])
            raise SystemExit("the unmutated tree does not build")
        if "baseline_sec" not in run_info or not self.args.resume:
            rc, out, secs, timed_out = self.ctest(timeout=self.args.max_timeout)
            tests, fails = self.parse_ctest(out)
            if rc != 0:
                print(out[-6000:])
                raise SystemExit("the unmutated tree fails its tests")
            run_info["baseline_sec"] = round(secs, 1)
            run_info["tests"] = sorted(tests)
            self.save(data)
            print(f"baseline: {len(tests)} tests pass in {secs:.1f} s", flush=True)
        timeout = max(self.args.min_timeout, self.args.timeout_factor * run_info["baseline_sec"])
        timeout = min(timeout, self.args.max_timeout)

        deadline = time.monotonic() + self.args.budget_min * 60 if self.args.budget_min else None
        originals: dict[str, str] = {}
        started = time.monotonic()
        try:
            for n, m in enumerate(todo, 1):
                if deadline and time.monotonic() > deadline:
                    print("time budget spent; stopping", flush=True)
                    break
                path = self.src / m["file"]
                if m["file"] not in originals:
                    originals[m["file"]] = path.read_text(encoding="utf-8")
                text = originals[m["file"]]
                mutated = text[:m["start"]] + m["replacement_full"] + text[m["end"]:]
                self.journal.write_text(json.dumps({"path": str(path), "content": text}))
                touch_write(path, mutated)
                try:
                    result = self.one(timeout)
                finally:
                    touch_write(path, text)
                    self.journal.unlink(missing_ok=True)
                result["at"] = _dt.datetime.now().isoformat(timespec="seconds")
                data["mutants"][m["id"]]["results"][label] = result
                self.save(data)
                elapsed = time.monotonic() - started
                print(f"[{n}/{len(todo)} {elapsed / 60:5.1f} min] {m['id']} {m['file']}:{m['line']}"
                      f" {m['op']} {m['original']!r}->{m['replacement']!r}: {result['status']}"
                      f" {','.join(result.get('killed_by', []))}"
                      f" (build {result['build_sec']} s, test {result.get('test_sec', 0)} s)",
                      flush=True)
        finally:
            for rel, text in originals.items():
                p = self.src / rel
                if p.read_text(encoding="utf-8") != text:
                    touch_write(p, text)
            if not self.args.no_final_build:
                self.ninja()
        return 0

    def one(self, timeout) -> dict:
        rc, out, bsecs, btimeout = self.ninja()
        result = {"build_sec": round(bsecs, 1)}
        if btimeout or rc != 0:
            errors = [ln for ln in out.splitlines() if "error" in ln][:3]
            result.update(status="build_failed", detail=errors)
            return result
        rc, out, tsecs, timed_out = self.ctest(timeout)
        tests, fails = self.parse_ctest(out)
        result["test_sec"] = round(tsecs, 1)
        failed = sorted(t for t, r in tests.items() if r["status"] != "Passed")
        result["failed_functions"] = self.failed_functions(out)
        if timed_out:
            result.update(status="timeout", killed_by=failed, detail=fails)
        elif rc == 0:
            result.update(status="survived")
        else:
            result.update(status="killed", killed_by=failed, detail=fails)
        result["tests"] = {t: r["status"] for t, r in tests.items() if r["status"] != "Passed"}
        return result


# --------------------------------------------------------------------------------------------
# Reporting
# --------------------------------------------------------------------------------------------

DETECTED = {"killed", "timeout"}


def folder_of(rel: str) -> str:
    return rel.split("/")[0] if "/" in rel else "."


def report(args) -> int:
    data = json.loads(Path(args.results).read_text())
    judged = json.loads(Path(args.judgements).read_text()) if args.judgements else {}
    label = args.label
    mutants = [m for m in data["mutants"].values() if label in m["results"]]
    mutants.sort(key=lambda m: m["id"])

    def verdict(m):
        j = judged.get(m["key"]) or judged.get(m["id"]) or {}
        return j.get("verdict"), j.get("note", ""), j.get("rank")

    def status(m, lab=label):
        r = m["results"].get(lab)
        return r["status"] if r else None

    lines: list[str] = []
    w = lines.append
    if args.preamble:
        w(Path(args.preamble).read_text(encoding="utf-8").rstrip() + "\n")
    run = data["runs"].get(label, {})
    w(f"# Mutation testing tables ({label} test set)\n")
    w(f"Generated by `mutate.py report` from {Path(args.results).name}. Seed "
      f"{data['meta'].get('seed')}; files run whole: {data['meta'].get('files')}; "
      f"sampled: {data['meta'].get('sample')}.  ")
    w(f"ctest selection: exclude `{run.get('exclude')}`, include `{run.get('include')}`; "
      f"baseline {run.get('baseline_sec')} s for {len(run.get('tests', []))} tests.\n")
    w("Verdicts of the survivors (judgements file): *equivalent* — no behaviour of the program "
      "changes; *unreachable* — the mutated code behaves differently only on inputs the program "
      "never produces (defensive checks, bounds, test doubles); *gap* — a player can meet the "
      "change and no test notices.  ")
    w("Strict kill rate = (killed + timeout) / (built − equivalent). Reachable kill rate = "
      "(killed + timeout) / (built − equivalent − unreachable).\n")

    def table(group_of, title):
        groups: dict[str, list] = {}
        for m in mutants:
            groups.setdefault(group_of(m), []).append(m)
        w(f"## {title}\n")
        w("| group | mutants | build failed | killed | timeout | survived | equivalent | "
          "unreachable | gap | strict kill rate | reachable kill rate |")
        w("|---|" + "---:|" * 10)
        tot = [0] * 8
        for g in sorted(groups):
            ms = groups[g]
            bf = sum(status(m) == "build_failed" for m in ms)
            k = sum(status(m) == "killed" for m in ms)
            t = sum(status(m) == "timeout" for m in ms)
            s = sum(status(m) == "survived" for m in ms)
            eq = sum(status(m) == "survived" and verdict(m)[0] == "equivalent" for m in ms)
            un = sum(status(m) == "survived" and verdict(m)[0] == "unreachable" for m in ms)
            gp = sum(status(m) == "survived" and verdict(m)[0] not in ("equivalent",
                                                                       "unreachable") for m in ms)
            row = [len(ms), bf, k, t, s, eq, un, gp]
            tot = [a + b for a, b in zip(tot, row)]
            w(f"| {g} | {' | '.join(map(str, row))} | {_rate(k + t, len(ms) - bf - eq)} | "
              f"{_rate(k + t, len(ms) - bf - eq - un)} |")
        w(f"| **all** | {' | '.join(map(str, tot))} | "
          f"{_rate(tot[2] + tot[3], tot[0] - tot[1] - tot[5])} | "
          f"{_rate(tot[2] + tot[3], tot[0] - tot[1] - tot[5] - tot[6])} |\n")

    table(lambda m: folder_of(m["file"]), "By folder")
    table(lambda m: m["file"], "By file")
    table(lambda m: m["op"], "By operator")

    survivors = [m for m in mutants if status(m) == "survived"]
    order = {"gap": 0, None: 1, "unreachable": 2, "equivalent": 3}
    survivors.sort(key=lambda m: (order.get(verdict(m)[0], 1), verdict(m)[2] or 99, m["id"]))
    w(f"## Surviving mutants ({len(survivors)}), gaps first, by how much a player sees\n")
    other_labels = sorted(set(data["runs"]) - {label})
    head = "| id | where | op | original → mutated | line after mutation | verdict | note |"
    for lab in other_labels:
        head = head.replace("| verdict", f"| {lab} | verdict")
    w(head)
    w("|" + "---|" * (head.count("|") - 1))
    for m in survivors:
        v, note, rank = verdict(m)
        cells = [m["id"], f"{m['file']}:{m['line']}", m["op"],
                 f"`{_md(m['original'])}` → `{_md(m['replacement'])}`",
                 f"`{_md(m['mutated_line'])}`"]
        for lab in other_labels:
            cells.append(status(m, lab) or "–")
        cells += [(f"{v} #{rank}" if v == "gap" and rank else v) or "unjudged", _md(note)]
        w("| " + " | ".join(cells) + " |")
    w("")

    failed = [m for m in mutants if status(m) == "build_failed"]
    if failed:
        w(f"## Mutants that did not build ({len(failed)})\n")
        w(", ".join(f"{m['id']} {m['file']}:{m['line']} `{_md(m['original'])}`→"
                    f"`{_md(m['replacement'])}`" for m in failed) + "\n")

    # Which tests kill what: overlap between test executables.
    killers: dict[str, set] = {}
    detected = [m for m in mutants if status(m) in DETECTED]
    for m in detected:
        for t in m["results"][label].get("killed_by", []):
            killers.setdefault(t, set()).add(m["id"])
    if killers:
        w("## Kills per test\n")
        w("Unique = mutants no other test in the set killed.\n")
        w("| test | kills | unique kills |")
        w("|---|---:|---:|")
        for t in sorted(killers, key=lambda t: -len(killers[t])):
            others = set().union(*(v for u, v in killers.items() if u != t))
            w(f"| {t} | {len(killers[t])} | {len(killers[t] - others)} |")
        w("")
    # The same at the level of test functions (QtTest's FAIL! lines name them).
    fkillers: dict[str, set] = {}
    for m in detected:
        for fn in m["results"][label].get("failed_functions", []):
            fkillers.setdefault(fn, set()).add(m["id"])
    if fkillers:
        w("## Kills per test function\n")
        w("Unique = mutants no other test function killed. `Class::<crash>`: the executable "
          "aborted (QFATAL) inside that test class; a timeout names no function.\n")
        w("| test function | kills | unique kills |")
        w("|---|---:|---:|")
        for fn in sorted(fkillers, key=lambda t: (-len(fkillers[t]), t)):
            others = set().union(*(v for u, v in fkillers.items() if u != fn))
            w(f"| {fn} | {len(fkillers[fn])} | {len(fkillers[fn] - others)} |")
        w("")
    for what, sets in (("test executables", killers), ("test functions", fkillers)):
        if not sets:
            continue
        # Greedy set cover: the fewest tests, one at a time, that still kill every mutant
        # this set kills.
        left = set().union(*sets.values())
        total, chosen = len(left), []
        while left:
            best = max(sorted(sets), key=lambda t: len(sets[t] & left))
            gain = sets[best] & left
            if not gain:
                break
            chosen.append((best, len(gain)))
            left -= gain
        w(f"## Smallest cover by {what}\n")
        w(f"{len(chosen)} of {len(sets)} {what} (chosen greedily, each adding the most "
          f"mutants not yet killed) kill all {total} mutants that the whole set kills:\n")
        w(", ".join(f"{t} (+{n})" for t, n in chosen) + "\n")
    if killers:
        w("## Overlap between test executables\n")
        w("For each test, the share of its kills that another single test also makes "
          "(the most overlapping one is named).\n")
        w("| test | kills | most overlapping other test | shared |")
        w("|---|---:|---|---:|")
        for t in sorted(killers, key=lambda t: -len(killers[t])):
            best, shared = "–", 0
            for u, v in killers.items():
                if u != t and len(killers[t] & v) > shared:
                    best, shared = u, len(killers[t] & v)
            w(f"| {t} | {len(killers[t])} | {best} | {shared} "
              f"({100 * shared // max(1, len(killers[t]))} %) |")
        w("")
    for lab in other_labels:
        rerun = [m for m in mutants if lab in m["results"]]
        if rerun:
            w(f"## Rerun under '{lab}' ({len(rerun)} mutants)\n")
            for m in rerun:
                r = m["results"][lab]
                w(f"- {m['id']} {m['file']}:{m['line']} {m['op']}: {r['status']} "
                  f"{', '.join(r.get('killed_by', []))}")
            w("")
    Path(args.out).write_text("\n".join(lines) + "\n", encoding="utf-8")
    print(f"wrote {args.out}")
    return 0


def _rate(a: int, b: int) -> str:
    return f"{a}/{b} = {100 * a / b:.0f} %" if b else "–"


def _md(s: str) -> str:
    return s.replace("|", "\\|").replace("`", "'")


# --------------------------------------------------------------------------------------------
# Line counts
# --------------------------------------------------------------------------------------------

def sloc_of(path: Path) -> int:
    try:
        text = path.read_text(encoding="utf-8")
    except (UnicodeDecodeError, OSError):
        return 0
    name = path.name
    if path.suffix in CPP_EXTS:
        classes = classify(text)
        count = 0
        pos = 0
        for line in text.split("\n"):
            seg = classes[pos:pos + len(line)]
            if any(c != "m" and not ch.isspace() for c, ch in zip(seg, line)):
                count += 1
            pos += len(line) + 1
        return count
    hash_comments = path.suffix in {".sh", ".py", ".cmake", ".supp", ".txt", ".conf"} or \
        name == "CMakeLists.txt"
    count = 0
    for line in text.splitlines():
        s = line.strip()
        if not s or (hash_comments and s.startswith("#")):
            continue
        count += 1
    return count


def sloc(args) -> int:
    total = 0
    for target in args.paths:
        p = Path(target)
        files = [p] if p.is_file() else sorted(f for f in p.rglob("*") if f.is_file())
        by_ext: dict[str, int] = {}
        sub = 0
        for f in files:
            if any(fnmatch.fnmatch(str(f), pat) for pat in args.skip or []):
                continue
            n = sloc_of(f)
            ext = f.suffix or f.name
            by_ext[ext] = by_ext.get(ext, 0) + n
            sub += n
        total += sub
        print(f"{target}: {sub}  " + ", ".join(f"{e} {n}" for e, n in sorted(by_ext.items())))
    print(f"total: {total}")
    return 0


# --------------------------------------------------------------------------------------------

def carry(args) -> int:
    """Maps an earlier run's mutants onto another tree by what they change, not where."""
    ops = set(ALL_OPS)
    found: dict[tuple[str, str, str, str], list[str]] = {}
    for rel in collect(Path(args.src), args.files):
        for m in generate(Path(args.src), rel, ops, args.const_variants, True):
            what = (Path(rel).name, m["op"], m["orig_line"], m["mutated_line"])
            found.setdefault(what, []).append(m["key"])
    data = json.loads(Path(args.results).read_text())
    keys, lost = [], []
    for mid, rec in sorted(data["mutants"].items()):
        same = found.get((Path(rec["file"]).name, rec["op"], rec["orig_line"], rec["mutated_line"]))
        if same:
            keys.append(same.pop(0))
        else:
            lost.append(mid)
    print(",".join(keys))
    for mid in lost:
        rec = data["mutants"][mid]
        print(f"gone: {mid} {rec['file']}:{rec['line']} {rec['op']} {rec['orig_line']}",
              file=sys.stderr)
    return 0


def main(argv=None) -> int:
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    sub = ap.add_subparsers(dest="cmd", required=True)

    def plan_args(p):
        p.add_argument("--src", required=True, help="source tree to mutate (a scratch copy)")
        p.add_argument("--files", nargs="*", help="globs, relative to --src: every mutant")
        p.add_argument("--sample", action="append",
                       help="GLOB[:OP,...][@FIRST-LAST]=N: N mutants drawn at random from the "
                            "files matching GLOB (only of those operators, only on those lines; "
                            "none already in the plan); repeatable")
        p.add_argument("--seed", type=int, default=1)
        p.add_argument("--ops", help="comma-separated subset of ROR,AOR,LOR,BOOL,CONST,NEG,CALL")
        p.add_argument("--ids", help="comma-separated ids or keys: run only these")
        p.add_argument("--const-variants", choices=["single", "both"], default="single",
                       help="single: 0->1, 1->0, n->n+1; both: also 1->2 and n->0")
        p.add_argument("--no-subsume", action="store_true",
                       help="keep mutants that another operator's mutant subsumes: removal of "
                            "f(true)/f(false) (BOOL covers it) and !(a == b) (ROR covers it)")

    p = sub.add_parser("list", help="print the mutants of a plan")
    plan_args(p)
    p.add_argument("--count", action="store_true", help="only a count per file and operator")

    p = sub.add_parser("run", help="run the mutants of a plan")
    plan_args(p)
    p.add_argument("--build", required=True, help="configured CMake/Ninja build folder")
    p.add_argument("--results", required=True, help="results JSON (created or updated)")
    p.add_argument("--label", default="fast", help="name of this test selection")
    p.add_argument("--exclude", help="ctest -E regex")
    p.add_argument("--include", help="ctest -R regex")
    p.add_argument("--targets", nargs="*", help="ninja targets (default: all)")
    p.add_argument("--jobs", type=int, default=2)
    p.add_argument("--timeout-factor", type=float, default=3.0,
                   help="per-mutant test timeout as a multiple of the baseline")
    p.add_argument("--min-timeout", type=float, default=60)
    p.add_argument("--max-timeout", type=float, default=900)
    p.add_argument("--build-timeout", type=float, default=900)
    p.add_argument("--budget-min", type=float, help="stop starting mutants after this long")
    p.add_argument("--stop-on-failure", action="store_true",
                   help="stop ctest at the first failure (faster, but no kill matrix)")
    p.add_argument("--resume", action="store_true", help="skip mutants with a result already")
    p.add_argument("--dry-run", action="store_true")
    p.add_argument("--no-final-build", action="store_true")

    p = sub.add_parser("report", help="write the Markdown summary")
    p.add_argument("--results", required=True)
    p.add_argument("--judgements", help="JSON {key or id: {verdict, note}}")
    p.add_argument("--label", default="fast")
    p.add_argument("--out", required=True)
    p.add_argument("--preamble", help="Markdown file put before the generated tables")

    p = sub.add_parser("carry", help="the same mutants' keys in another tree")
    p.add_argument("--results", required=True, help="results JSON of the earlier run")
    p.add_argument("--src", required=True, help="the other tree")
    p.add_argument("--files", nargs="+", required=True, help="globs, relative to --src")
    p.add_argument("--const-variants", choices=["single", "both"], default="single")

    p = sub.add_parser("sloc", help="non-blank, non-comment lines")
    p.add_argument("paths", nargs="+")
    p.add_argument("--skip", action="append", help="glob of paths to leave out")

    args = ap.parse_args(argv)
    if args.cmd == "carry":
        return carry(args)
    if args.cmd == "list":
        plan = build_plan(args)
        if args.count:
            counts: dict[tuple[str, str], int] = {}
            for m in plan:
                counts[(m["file"], m["op"])] = counts.get((m["file"], m["op"]), 0) + 1
            per_file: dict[str, int] = {}
            for (f, op), n in sorted(counts.items()):
                per_file[f] = per_file.get(f, 0) + n
            for f, n in per_file.items():
                ops = ", ".join(f"{op} {c}" for (ff, op), c in sorted(counts.items()) if ff == f)
                print(f"{f}: {n}  ({ops})")
            print(f"total: {len(plan)}")
        else:
            for m in plan:
                print(f"{m['id']} {m['file']}:{m['line']}:{m['col']} {m['op']:5} "
                      f"{m['original']!r} -> {m['replacement']!r}   | {m['mutated_line']}")
        return 0
    if args.cmd == "run":
        # A background job ignores SIGINT; both it and SIGTERM stop the run cleanly: the
        # mutated file is restored and the build and test processes are ended.
        signal.signal(signal.SIGINT, _interrupt)
        signal.signal(signal.SIGTERM, _interrupt)
        return Runner(args).run()
    if args.cmd == "report":
        return report(args)
    if args.cmd == "sloc":
        return sloc(args)
    return 2


if __name__ == "__main__":
    sys.exit(main())
