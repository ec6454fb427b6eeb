#!/usr/bin/env python3
"""The coverage table of the product, by directory.

    scripts/dev coverage

builds build-coverage/ (the coverage preset), runs ctest there and then calls
this script, which reads the counts with gcovr and prints, for each product
directory and for all of them together, the lines and branches run.  The
generators, what only they use and the tables they write are left out, and so are the branches
that only exception unwinding takes (nothing in the product throws) and those
the compiler proves unreachable.  The per-file report with the line numbers
that never ran is written to build-coverage/coverage-files.txt.
"""

import json
import os
import subprocess
import sys

PRODUCT_DIRS = ("driver", "specs", "options", "diagnostics", "support", "wrappers")


def gcovr(root, build, *report):
    command = ["gcovr", "--root", root, "--exclude-throw-branches",
               "--exclude-unreachable-branches", "-j", "2"]
    for directory in PRODUCT_DIRS:
        command += ["--filter", os.path.join(root, directory) + "/"]
    command += ["--exclude", os.path.join(root, r"[^/]+/gen/"),
                "--exclude", os.path.join(root, "support/generated_source.h")]
    command += list(report) + [build]
    subprocess.run(command, check=True, cwd=root)


def percent(covered, total):
    return "%6.1f%%" % (100.0 * covered / total) if total else "      -"


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    build = os.path.join(root, "build-coverage")
    summary_path = os.path.join(build, "coverage-summary.json")
    gcovr(root, build, "--json-summary", summary_path,
          "--txt", os.path.join(build, "coverage-files.txt"))
    with open(summary_path) as summary_file:
        summary = json.load(summary_file)

    totals = {directory: [0, 0, 0, 0] for directory in PRODUCT_DIRS}
    for entry in summary["files"]:
        directory = entry["filename"].split("/", 1)[0]
        counts = totals.setdefault(directory, [0, 0, 0, 0])
        counts[0] += entry["line_covered"]
        counts[1] += entry["line_total"]
        counts[2] += entry["branch_covered"]
        counts[3] += entry["branch_total"]

    print("%-12s %15s %8s %15s %8s" % ("directory", "lines", "", "branches", ""))
    all_counts = [0, 0, 0, 0]
    for directory, counts in totals.items():
        all_counts = [a + b for a, b in zip(all_counts, counts)]
        print("%-12s %7d/%-7d %s %7d/%-7d %s" % (directory, counts[0], counts[1],
                                                percent(counts[0], counts[1]), counts[2],
                                                counts[3], percent(counts[2], counts[3])))
    print("%-12s %7d/%-7d %s %7d/%-7d %s" % ("product", all_counts[0], all_counts[1],
                                            percent(all_counts[0], all_counts[1]),
                                            all_counts[2], all_counts[3],
                                            percent(all_counts[2], all_counts[3])))
    print("Lines never run, by file: %s" % os.path.relpath(os.path.join(build, "coverage-files.txt")))
    return 0


if __name__ == "__main__":
    sys.exit(main())
