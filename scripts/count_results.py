#!/usr/bin/env python3
"""Adds up the test results of scripts/test and prints "N passed, N failed".

Counts every GoogleTest case from the per-executable XML reports, adds one
failure for each ctest entry that failed without a failing case of its own (a
crash, a time-out, a missing report), one result per fuzz target, and one
failure per preset that did not build, and one result per check of
scripts/check-dll and scripts/check-layout.
"""
import glob
import os
import sys
import xml.etree.ElementTree as ET


def gtest_counts(path):
    try:
        root = ET.parse(path).getroot()
    except (ET.ParseError, OSError):
        return None
    tests = int(root.get("tests", 0)) - int(root.get("disabled", 0))
    failed = int(root.get("failures", 0)) + int(root.get("errors", 0))
    skipped = 0
    for case in root.iter("testcase"):
        if case.get("result") == "skipped" or case.find("skipped") is not None:
            skipped += 1
    return max(tests - failed - skipped, 0), failed


def ctest_failures(path):
    """Names of the ctest entries that did not pass."""
    try:
        root = ET.parse(path).getroot()
    except (ET.ParseError, OSError):
        return None
    failed = []
    for case in root.iter("testcase"):
        if case.get("status") not in ("run", "passed", None) or case.find("failure") is not None:
            failed.append(case.get("name"))
    return failed


def main():
    results, build_failures = sys.argv[1], int(sys.argv[2])
    passed = failed = 0
    for preset in ("native", "native-asan", "win32", "win64"):
        counted_failures = set()
        for report in glob.glob(os.path.join(results, preset, "*.xml")):
            counts = gtest_counts(report)
            name = os.path.splitext(os.path.basename(report))[0]
            if counts is None:
                continue
            passed += counts[0]
            failed += counts[1]
            if counts[1]:
                counted_failures.add(name)
        ctest_report = os.path.join(results, preset + "-ctest.xml")
        if os.path.exists(ctest_report):
            for name in ctest_failures(ctest_report) or []:
                if name not in counted_failures:
                    failed += 1
                    print(f"{preset}: {name} failed without a test report (crash or time-out)")
    for result in glob.glob(os.path.join(results, "fuzz", "*.result")):
        with open(result) as handle:
            if handle.read().strip() == "pass":
                passed += 1
            else:
                failed += 1
                print("fuzz target failed:", os.path.basename(result)[:-7])
    static = os.path.join(results, "checks.result")
    if os.path.exists(static):
        with open(static) as handle:
            for line in handle:
                if line.startswith("pass "):
                    passed += 1
                elif line.strip():
                    failed += 1
                    print("check failed:", line[5:].strip())
    failed += build_failures
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
