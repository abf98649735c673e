#!/usr/bin/python3
"""Mutation check of KOV's logic: applies one simple mutation at a time to a program file (a comparison flipped, an
integer constant changed by one, a branch's condition negated, a statement removed), rebuilds, runs the suites whose
programs the change reached, and records whether some test failed (killed), none did (survived) or the mutant did not
build (invalid, not counted).

The mutants are a seeded sample of every site in the files, so the same files and seed give the same mutants as long
as the program source is unchanged: a run before and a run after a change to the tests compare like for like.

    tools/mutants.py [--files F ...] [--per-file N] [--seed S] [--build DIR] [--out FILE.tsv] [--list]
"""
import argparse
import hashlib
import json
import os
import random
import re
import subprocess
import sys
import time

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# The files where the program decides something: readers and writers, fitting, paging, levels, the report's text.
DEFAULT_FILES = """
core/Numbers.cpp core/Levels.cpp core/TextFields.cpp core/TextValue.cpp core/ProjectFile.cpp core/EqFile.cpp
core/FolderFile.cpp core/SpectrumDatabase.cpp core/Tables.cpp core/CommPort.cpp core/ProgramFolder.cpp
core/ProjectCommands.cpp core/FolderSearch.cpp core/MainMenus.cpp
masking/Fit.cpp masking/Goal.cpp masking/TestGrid.cpp masking/MaskDownloads.cpp
paging/PagingSettings.cpp paging/PagingSpectrum.cpp paging/EqReview.cpp
meters/Ld824.cpp meters/Ld824Meter.cpp meters/RecordRange.cpp meters/MeterFiles.cpp meters/WorkbookImport.cpp
meters/SpectrumReport.cpp meters/FrequencyResponse.cpp meters/MeterTable.cpp meters/MeterFormat.cpp
meters/ExportText.cpp meters/XlsxWorkbook.cpp
spectra/SpectrumEditor.cpp spectra/SpectrumEntry.cpp report/EqualizationReport.cpp report/PrinterData.cpp
""".split()

STRING = re.compile(r'"(?:\\.|[^"\\])*"|\'(?:\\.|[^\'\\])*\'')
FLIPS = {" < ": " <= ", " <= ": " < ", " > ": " >= ", " >= ": " > ", " == ": " != ", " != ": " == ",
         " && ": " || ", " || ": " && "}
CONDITION = re.compile(r"^(\s*(?:\} else )?(?:if|while) \()(.*)(\)( \{)?)$")
STATEMENT = re.compile(r"^\s*(?:\+\+|--)?[A-Za-z_][\w.\->\[\]()]*(?:\+\+|--)?(?: [-+*/|&]?= .*|\(.*\)|\+\+|--)?;$")
INTEGER = re.compile(r"(?<![\w.])(\d+)(?![\w.'])")


def masked(line):
    """The line with string and character literals blanked, so no mutation lands inside one."""
    return STRING.sub(lambda m: " " * len(m.group(0)), line)


def sites(path):
    """Every mutation of every line: (line number, operator, new line)."""
    out = []
    with open(os.path.join(TOP, path), encoding="utf-8") as f:
        lines = f.read().split("\n")
    in_block_comment = False
    # Code for the other system is not compiled here: a mutant in it would survive for no fault of the tests.
    other_system = []
    for n, line in enumerate(lines):
        code = masked(line)
        stripped = code.strip()
        directive = re.match(r"#\s*(ifdef|ifndef|if|elif|else|endif)\b(.*)", stripped)
        if directive:
            kind, cond = directive.groups()
            # (whether the condition names a system, whether the block now open is the other system's)
            if kind in ("ifdef", "if", "ifndef"):
                names = "WIN" in cond or "UNIX" in cond
                windows = ("WIN" in cond) == (kind != "ifndef")
                other_system.append((names, names and windows))
            elif kind == "elif" and other_system:
                other_system[-1] = (other_system[-1][0], "WIN" in cond)
            elif kind == "else" and other_system:
                names, other = other_system[-1]
                other_system[-1] = (names, names and not other)
            elif kind == "endif" and other_system:
                other_system.pop()
            continue
        if any(other for _, other in other_system):
            continue
        if in_block_comment:
            if "*/" in stripped:
                in_block_comment = False
            continue
        if stripped.startswith("/*"):
            in_block_comment = "*/" not in stripped
            continue
        if not stripped or stripped.startswith(("//", "#", "static_assert", "case ")):
            continue
        code = code.split("//")[0]
        for old, new in FLIPS.items():
            start = 0
            while (i := code.find(old, start)) >= 0:
                out.append((n, "flip", line[:i] + new + line[i + len(old):]))
                start = i + len(old)
        for m in INTEGER.finditer(code):
            value = int(m.group(1))
            out.append((n, "constant", line[:m.start()] + str(value + 1) + line[m.end():]))
        c = CONDITION.match(line)
        if c and CONDITION.match(code):
            out.append((n, "negate", f"{c.group(1)}!({c.group(2)}){c.group(3)}"))
        if STATEMENT.match(code) and not stripped.startswith(("return", "break", "continue", "throw", "Q_UNUSED")):
            out.append((n, "remove", ""))
    return lines, out


def sample(path, per_file, seed):
    lines, all_sites = sites(path)
    rng = random.Random(int(hashlib.sha256(f"{seed}:{path}".encode()).hexdigest()[:16], 16))
    chosen = sorted(rng.sample(all_sites, min(per_file, len(all_sites))))
    return lines, chosen


def tests_by_program(build):
    shown = subprocess.run(["ctest", "--test-dir", build, "--show-only=json-v1"], capture_output=True, text=True,
                           check=True)
    out = {}
    for i, t in enumerate(json.loads(shown.stdout)["tests"], start=1):
        if t.get("command"):
            out.setdefault(os.path.realpath(t["command"][0]), []).append(i)
    return out


def build_tree(build):
    return subprocess.run(["cmake", "--build", build, "-j", str(os.cpu_count() or 2)], capture_output=True).returncode


def run_tests(build, numbers):
    if not numbers:
        return True
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    chosen = "0,0,0," + ",".join(map(str, numbers))
    r = subprocess.run(["ctest", "--test-dir", build, "-I", chosen, "-j", str(os.cpu_count() or 2), "--timeout", "120",
                        "--stop-on-failure"], capture_output=True, env=env)
    return r.returncode == 0


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--files", nargs="*", default=DEFAULT_FILES)
    ap.add_argument("--per-file", type=int, default=4)
    ap.add_argument("--seed", default="kov")
    ap.add_argument("--build", default=os.path.join(TOP, "build", "mutants"))
    ap.add_argument("--out", default=os.path.join(TOP, "build", "mutants.tsv"))
    ap.add_argument("--list", action="store_true", help="print the mutants and stop")
    a = ap.parse_args()

    plan = [(f, *sample(f, a.per_file, a.seed)) for f in a.files]
    if a.list:
        for f, lines, chosen in plan:
            for n, op, new in chosen:
                print(f"{f}:{n + 1}\t{op}\t{lines[n].strip()}\t=> {new.strip()}")
        return 0

    # Each mutant relinks every suite its file reaches: without debug information, and with gold, that takes a
    # fraction of the time and tests the same code.
    linker = ["-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=gold", "-DCMAKE_SHARED_LINKER_FLAGS=-fuse-ld=gold"]
    subprocess.run(["cmake", "-S", TOP, "-B", a.build, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Debug",
                    "-DCMAKE_CXX_FLAGS_DEBUG=-O0", "-DKOV_BUILD_BENCH=OFF", "-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"]
                   + linker, check=True, capture_output=True)
    if build_tree(a.build) != 0:
        print("the unmutated tree does not build; nothing to measure", file=sys.stderr)
        return 2
    programs = tests_by_program(a.build)
    if not run_tests(a.build, sum(programs.values(), [])):
        print("the unmutated tree does not pass its tests; nothing to measure", file=sys.stderr)
        return 2
    counts = {"killed": 0, "survived": 0, "invalid": 0}
    with open(a.out, "w", encoding="utf-8") as out:
        out.write("file\tline\toperator\toriginal\tmutant\tresult\n")
        for f, lines, chosen in plan:
            path = os.path.join(TOP, f)
            original = "\n".join(lines)
            for n, op, new in chosen:
                mutated = lines[:n] + ([new] if op != "remove" else []) + lines[n + 1:]
                started = time.time()
                try:
                    with open(path, "w", encoding="utf-8") as w:
                        w.write("\n".join(mutated))
                    if build_tree(a.build) != 0:
                        result = "invalid"
                    else:
                        reached = [i for p, ids in programs.items() if os.path.getmtime(p) >= started for i in ids]
                        result = "survived" if run_tests(a.build, reached) else "killed"
                finally:
                    with open(path, "w", encoding="utf-8") as w:
                        w.write(original)
                counts[result] += 1
                out.write(f"{f}\t{n + 1}\t{op}\t{lines[n].strip()}\t{new.strip()}\t{result}\n")
                out.flush()
                print(f"{result:8} {f}:{n + 1} {op}", flush=True)
    build_tree(a.build)
    valid = counts["killed"] + counts["survived"]
    score = 100.0 * counts["killed"] / valid if valid else 0.0
    print(f"mutants: {valid} valid ({counts['invalid']} did not build); killed {counts['killed']}, "
          f"survived {counts['survived']}: score {score:.1f} %")
    return 0


if __name__ == "__main__":
    sys.exit(main())
