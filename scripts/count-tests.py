#!/usr/bin/env python3
"""Counts the test cases of a run from the XML that each test executable and ctest
wrote, and prints the closing line "N passed, M failed". A ctest entry that failed
without reporting a failing case (a crash, a time-out) counts as one failure."""
import sys
import xml.etree.ElementTree as ET
from pathlib import Path


def gtest_counts(path):
    passed = failed = skipped = 0
    for case in ET.parse(path).getroot().iter("testcase"):
        if case.find("failure") is not None:
            failed += 1
        elif case.get("result") == "skipped" or case.find("skipped") is not None:
            skipped += 1
        else:
            passed += 1
    return passed, failed, skipped


def ctest_entries(path):
    if not path.exists():
        return {}
    return {case.get("name"): case.get("status", "") for case in ET.parse(path).getroot().iter("testcase")}


def main(dirs):
    passed = failed = skipped = 0
    for folder in map(Path, dirs):
        entries = ctest_entries(folder / "ctest.xml")
        for name, status in entries.items():
            report = folder / f"{name}.xml"
            p = f = s = 0
            if report.exists():
                try:
                    p, f, s = gtest_counts(report)
                except ET.ParseError:
                    pass
            if status == "fail" and f == 0:
                f = 1
            elif not report.exists() and status == "run":
                p = 1
            print(f"  {folder.parent.name}/{name}: {p} passed, {f} failed" + (f", {s} skipped" if s else ""))
            passed, failed, skipped = passed + p, failed + f, skipped + s
    line = f"{passed} passed, {failed} failed"
    if skipped:
        line += f", {skipped} skipped"
    print(line)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
