#!/usr/bin/env python3
"""Counts the results of one test run, test case by test case, and names the run each came from.

    count-results.py RESULTS_DIR       every result of the run: the breakdown, then the totals line
    count-results.py --file XML        one result file: "PASSED FAILED" (for the scripts)

Result files are JUnit files written by CTest (RESULTS_DIR/<run>.xml) and GoogleTest files of the
Windows test programs (RESULTS_DIR/wine/*.xml for the 64-bit build, RESULTS_DIR/wine32/*.xml for
the 32-bit one). Plain results are lines of RESULTS_DIR/steps.txt: "pass RUN NAME", "fail RUN
NAME", or "note RUN NAME" for something said but counted neither way, where RUN is one of RUNS
below. A line that names no run of RUNS is a failure of its own: a step counted nowhere would
go unseen.

A case counts as passed only when it ran and nothing says otherwise. The root element's counts
are not used: GoogleTest's carries no skipped count, and CTest's puts a test that never ran (its
program missing) among the skipped ones. A case CTest did not run for any reason but its own skip
rule is a failure; a skipped or disabled case is listed by name with its reason and not counted.
"""
import os
import sys
import xml.etree.ElementTree as ElementTree

# Runs in the order make test runs them, each with what it is.
RUNS = [
    ("selftest", "the scripts' own self-test (fake suites)"),
    ("host", "native tests, simulated machine (build/host)"),
    ("asan", "the same under AddressSanitizer + UBSan (build/asan)"),
    ("tsan", "threaded tests under ThreadSanitizer (build/tsan)"),
    ("builds", "Windows builds and the product file"),
    ("wine64", "Windows test programs, 64-bit build, Wine"),
    ("wine32", "Windows test programs, 32-bit build, Wine"),
    ("gallery", "pictures of every dialog (64-bit build)"),
    ("e2e64", "end-to-end, 64-bit Windows (hand-over)"),
    ("e2e32", "end-to-end, 32-bit Windows (no twin)"),
    ("msi", "Windows Installer package, msiexec"),
    ("release", "shipped files: versions, built twice, signed"),
    ("fuzz", "fuzz smoke runs"),
    ("analysis", "static analysis"),
]

CTEST_OWN_SKIPS = ("SKIP_REGULAR_EXPRESSION_MATCHED", "SKIP_RETURN_CODE")


def one_line(text):
    """A message of several lines ("file:line", then the text) on one short line."""
    text = " ".join(part.strip() for part in text.splitlines() if part.strip())
    return text if len(text) <= 160 else text[:157] + "..."


def judge_case(case):
    """('pass' | 'fail' | 'skip', reason on one line) for one <testcase>."""
    status = case.get("status", "run")
    result = case.get("result", "")
    if case.find("failure") is not None or case.find("error") is not None or status == "fail":
        element = case.find("failure")
        if element is None:
            element = case.find("error")
        return "fail", one_line(element.get("message", "") if element is not None else "")
    skipped = case.find("skipped")
    message = skipped.get("message", "") if skipped is not None else ""
    if status == "notrun" and result != "suppressed":
        if message.startswith(CTEST_OWN_SKIPS):
            out = (case.findtext("system-out") or "").strip().splitlines()
            return "skip", one_line(out[-1] if out else message)
        # Its program is missing or was not built, a fixture failed, ...: a test that never ran.
        return "fail", "not run: " + (message or "no reason given")
    if status == "disabled" or result == "suppressed":
        return "skip", "disabled"
    if skipped is not None or result == "skipped":
        return "skip", one_line(message) or "skipped"
    return "pass", ""


def count_file(path):
    """(passed, failed, lines naming failures, lines naming skips) of one result file."""
    try:
        root = ElementTree.parse(path).getroot()
    except (ElementTree.ParseError, OSError) as error:
        return 0, 1, ["%s: unreadable result file (%s)" % (path, error)], []
    passed = failed = 0
    failures, skips = [], []
    cases = list(root.iter("testcase"))
    for case in cases:
        verdict, reason = judge_case(case)
        name = case.get("name", "?")
        if case.get("classname") and case.get("classname") != name:
            name = case.get("classname") + "." + name
        text = name + (": " + reason if reason else "")
        if verdict == "pass":
            passed += 1
        elif verdict == "fail":
            failed += 1
            failures.append(text)
        else:
            skips.append(text)
    if not cases:
        failed += 1
        failures.append("%s: the result file holds no test" % os.path.basename(path))
    return passed, failed, failures, skips


def xml_run(results, path):
    relative = os.path.relpath(path, results)
    folder = relative.split(os.sep)[0]
    if folder == "wine":
        return "wine64"
    if folder == "wine32":
        return "wine32"
    if os.sep not in relative:
        return os.path.splitext(relative)[0]
    return None   # pictures' folders and the like hold no results


def main(argv):
    if len(argv) == 3 and argv[1] == "--file":
        passed, failed, failures, _ = count_file(argv[2])
        print(passed, failed)
        for line in failures:
            print(line, file=sys.stderr)
        return 0
    results = argv[1]
    counts = {}        # run -> [passed, failed]
    known = [run for run, _ in RUNS]
    described = dict(RUNS)
    failures, notes = [], []
    noted = set()      # runs with something said about them

    def add(run, passed, failed):
        entry = counts.setdefault(run, [0, 0])
        entry[0] += passed
        entry[1] += failed

    for folder, _, files in sorted(os.walk(results)):
        for file in sorted(files):
            if not file.endswith(".xml"):
                continue
            path = os.path.join(folder, file)
            run = xml_run(results, path)
            if run is None:
                continue
            passed, failed, failed_names, skipped_names = count_file(path)
            add(run, passed, failed)
            failures += ["%s %s" % (run, line) for line in failed_names]
            notes += ["%s skipped %s" % (run, line) for line in skipped_names]
    steps = os.path.join(results, "steps.txt")
    if os.path.exists(steps):
        with open(steps, encoding="utf-8", errors="replace") as lines:
            for line in lines:
                if not line.strip():
                    continue
                verdict, _, rest = line.rstrip("\n").partition(" ")
                run, _, name = rest.partition(" ")
                if run not in described or verdict not in ("pass", "fail", "note"):
                    add(run, 0, 1)
                    failures.append("steps.txt: a line with no run of count-results.py or no verdict: " + line.strip())
                elif verdict == "pass":
                    add(run, 1, 0)
                elif verdict == "fail":
                    add(run, 0, 1)
                    failures.append(name)
                else:
                    notes.append(name)
                    noted.add(run)

    print("Counted, run by run (a test that runs in several runs is counted in each):")
    for run in known + sorted(set(counts) - set(known)):
        if run in counts:
            passed, failed = counts[run]
            print("  %-9s %-52s %5d passed, %d failed" % (run, described.get(run, ""), passed, failed))
        elif run in noted:
            print("  %-9s %-52s not run (below)" % (run, described.get(run, "")))
    for note in notes:
        print("Not counted: " + note)
    for failure in failures:
        print("FAILED: " + failure)
    passed = sum(entry[0] for entry in counts.values())
    failed = sum(entry[1] for entry in counts.values())
    print("%d passed, %d failed" % (passed, failed))
    return 0 if failed == 0 and passed > 0 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
