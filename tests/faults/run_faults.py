#!/usr/bin/env python3
"""The fault sweep: fails, one at a time, the calls of C-library functions
that the driver (or the archiver wrapper) makes itself, and tells which runs
did not end well.

For each scenario (fault_scenarios.py) a fault-free run counts the calls of
every function family (libvornfaults.so's counting mode).  Then every call
is failed in turn, up to --cap calls of one family in one scenario, and
evenly spread calls above that.  Each run is classified against the
fault-free one:

  crash          killed by a signal, or an exit status above 4
  hang           still running after --timeout seconds
  silent         a failing status with nothing on standard error
  wrong-success  status 0 while standard output, the files made or the
                 children's argument vectors and environment differ (for a
                 failed stat or access: unless only the directories through
                 which the same files were named differ, a search having
                 rightly passed over what it could not see)
  leak           a temporary file left behind
  lost           a user's file removed or changed that the fault-free run keeps

accepted_losses.txt names the outcomes accepted anyway, each by the function
family, the product function making the failed call and the class.

  run_faults.py                   the whole sweep; status 1 if any run went wrong
  run_faults.py --sample          the ctest sample: four calls of every family
                                  in SAMPLE_SCENARIOS; status 1 unless what goes
                                  wrong is exactly expected_failures.txt
  --build DIR                     the build tree to test (default: build/)
  --library FILE                  the fault library (default: the build's
                                  tests/faults/libvornfaults.so)
  --cap N                         calls failed of one family in one scenario
                                  (default 1000: today every call)
  --jobs N                        runs at a time (default 2)
  --details FILE                  every failing point, with the frames of the
                                  failed call, to FILE (default: standard output)
  --scenario NAME, --function NAME, --call N
                                  only these (repeatable): one point is
                                  --scenario link --function malloc --call 209
"""

import argparse
import concurrent.futures
import difflib
import os
import shutil
import sys
import tempfile

# The modules beside this script; no compiled copies of them in the sources.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import fault_frames  # noqa: E402
import fault_outcome  # noqa: E402
import fault_scenarios  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
SAMPLE_CALLS = 4


class Point:
    def __init__(self, scenario, family, call, calls):
        self.scenario = scenario
        self.family = family
        self.call = call
        self.calls = calls
        self.observed = None
        self.classes = []
        self.accepted = []
        self.frames = []

    def label(self):
        return "%s %s call %d of %d" % (self.scenario.name, self.family, self.call, self.calls)


def chosen_calls(calls, cap):
    """Every call up to CAP; above it CAP calls spread evenly, first and last
    among them."""
    if calls <= cap:
        return list(range(1, calls + 1))
    if cap == 1:
        return [1]
    return sorted({1 + round(i * (calls - 1) / (cap - 1)) for i in range(cap)})


class Sweep:
    def __init__(self, options):
        self.options = options
        build = os.path.abspath(options.build)
        library = options.library or os.path.join(build, "tests", "faults", "libvornfaults.so")
        for needed in (os.path.join(build, "stage", "bin", "vorn-cxx"), library):
            if not os.path.exists(needed):
                raise SystemExit("run_faults.py: %s is missing: build first" % needed)
        # Each sweep has a directory of its own, so that the ctest sample and
        # a whole sweep can run at the same time.
        parent = os.path.join(build, "tests", "faults")
        root = tempfile.mkdtemp(prefix="sweep-", dir=parent if os.path.isdir(parent) else None)
        self.setup = fault_outcome.Setup(os.path.join(build, "stage"), library, root,
                                         options.timeout)
        self.next_index = 0
        self.baselines = {}
        self.points = []
        self.problems = []

    def index(self):
        self.next_index += 1
        return self.next_index

    def count(self, scenario):
        """The fault-free run, twice: it must do the same both times, or no
        run can be compared with it."""
        first = fault_outcome.run_point(self.setup, scenario, self.index(), "malloc", 0)
        second = fault_outcome.run_point(self.setup, scenario, self.index(), "malloc", 0)
        same = (first.status, first.stdout, first.records, first.files, first.counts) == \
            (second.status, second.stdout, second.records, second.files, second.counts)
        if not same:
            self.problems.append("%s: two fault-free runs differ" % scenario.name)
        expected_failure = scenario.fails
        if first.status is None or (first.status != 0) != expected_failure:
            self.problems.append("%s: the fault-free run ended with status %s%s" %
                                 (scenario.name, first.status, _first_line(first.stderr)))
        baseline_point = Point(scenario, "(none)", 0, 0)
        baseline_point.observed = first
        baseline_point.classes = _baseline_classes(first, scenario)
        self.points.append(baseline_point)
        self.baselines[scenario.name] = first
        return first.counts

    def plan(self, scenarios):
        planned = []
        for scenario in scenarios:
            counts = self.count(scenario)
            for family, calls in sorted(counts.items()):
                if self.options.function and family not in self.options.function:
                    continue
                cap = SAMPLE_CALLS if self.options.sample else self.options.cap
                for call in chosen_calls(calls, cap):
                    if not self.options.call or call in self.options.call:
                        planned.append(Point(scenario, family, call, calls))
        return planned

    def run(self, planned):
        def one(point, index):
            point.observed = fault_outcome.run_point(self.setup, point.scenario, index,
                                                     point.family, point.call)
            return point

        with concurrent.futures.ThreadPoolExecutor(self.options.jobs) as pool:
            jobs = [pool.submit(one, point, self.index()) for point in planned]
            for job in concurrent.futures.as_completed(jobs):
                point = job.result()
                if point.observed.injection is None:
                    point.classes = ["unreached"]
                else:
                    baseline = self.baselines[point.scenario.name]
                    point.classes = fault_outcome.classify(point.observed, baseline,
                                                           point.family)
        self.points += planned

    def explain(self, allowances):
        bad = [p for p in self.points if p.classes and p.observed.injection]
        for point in bad:
            point.frames = fault_frames.frames_of(point.observed.injection, point.scenario.program)
        fault_frames.resolve([frame for point in bad for frame in point.frames[:6]])
        for point in bad:
            for outcome in list(point.classes):
                for allowance in allowances:
                    if allowance.covers(point.family, outcome, point.frames):
                        point.classes.remove(outcome)
                        point.accepted.append("%s (%s: %s)" % (outcome, allowance.function,
                                                               allowance.reason))
                        break


def _baseline_classes(observed, scenario):
    classes = []
    if observed.status == 0 and scenario.fails:
        classes.append("wrong-success")
    if observed.status not in (None, 0) and not observed.stderr.strip():
        classes.append("silent")
    if observed.leaked:
        classes.append("leak")
    return classes


def _first_line(text):
    lines = text.strip().splitlines()
    return (": " + lines[0]) if lines else ""


def print_table(points, out, key, values, title):
    """One row per value of KEY (the function family, or the scenario), then
    the totals; the fault-free runs after them when one of them went wrong."""
    columns = ["points", "ok"] + fault_outcome.CLASSES + ["accepted"]
    injected = [p for p in points if p.call > 0 and p.observed.injection]
    widths = [max(7, len(c)) + 1 for c in columns]
    out.write("%-24s" % title + "".join("%*s" % (w, c) for w, c in zip(widths, columns)) + "\n")
    rows = []
    for value in values:
        group = [p for p in injected if key(p) == value]
        if group:
            rows.append((value, group))
    rows.append(("total", injected))
    baselines = [p for p in points if p.call == 0]
    if any(p.classes for p in baselines):
        rows.append(("fault-free runs", baselines))
    for value, group in rows:
        row = _row(group)
        out.write("%-24s" % value +
                  "".join("%*d" % (w, row[c]) for w, c in zip(widths, columns)) + "\n")


def _row(points):
    row = {"points": len(points)}
    row["ok"] = sum(1 for p in points if not p.classes and not p.accepted)
    for outcome in fault_outcome.CLASSES:
        row[outcome] = sum(1 for p in points if outcome in p.classes)
    row["accepted"] = sum(1 for p in points if p.accepted and not p.classes)
    return row


def print_summary(points, names, out):
    print_table(points, out, lambda p: p.family, sorted({p.family for p in points}), "function")
    out.write("\n")
    print_table(points, out, lambda p: p.scenario.name, names, "scenario")
    injected = sum(1 for p in points if p.call > 0 and p.observed.injection)
    unreached = sum(1 for p in points if "unreached" in p.classes)
    out.write("\ninjected points: %d, each a run with one call failed" % injected)
    out.write(" (%d planned calls never came)\n" % unreached if unreached else "\n")
    out.write("a point that went wrong in several ways counts in each of its classes\n")
    unreaped = sum(1 for p in points if p.observed.unreaped)
    if unreaped:
        out.write("points whose program exited before reaping a child it started: %d (not a "
                  "class: the library lets such children finish before the exit handlers run)\n"
                  % unreaped)


def print_details(points, baselines, out):
    for point in points:
        if point.accepted and not point.classes:
            out.write("%s: accepted %s\n" % (point.label(), "; ".join(point.accepted)))
            continue
        if not point.classes or point.classes == ["unreached"]:
            continue
        observed = point.observed
        status = observed.status
        status = ("hang" if status is None else
                  "signal %d" % -status if status < 0 else "status %d" % status)
        out.write("%s: %s (%s)\n" % (point.label(), ", ".join(point.classes), status))
        for line in observed.stderr.strip().splitlines()[:4]:
            out.write("  stderr: %s\n" % line)
        if observed.leaked:
            out.write("  left: %s\n" % " ".join(observed.leaked))
        if observed.unreaped:
            out.write("  exited before reaping %d child(ren)\n" % observed.unreaped)
        for line in _difference(point, baselines)[:8]:
            out.write("  differs: %s\n" % line)
        for frame in point.frames[:4]:
            out.write("  at %s\n" % frame.describe())


def _difference(point, baselines):
    if "wrong-success" not in point.classes or point.call == 0:
        return []
    mine, theirs = point.observed, baselines[point.scenario.name]
    lines = []
    for name in sorted(set(mine.files) | set(theirs.files)):
        if mine.files.get(name) != theirs.files.get(name):
            lines.append("file %s %s" % (name, "missing" if name not in mine.files else
                                         "new" if name not in theirs.files else "changed"))
    texts = [("stdout", theirs.stdout, mine.stdout),
             ("records", "\n".join(theirs.records), "\n".join(mine.records))]
    for what, before, after in texts:
        diff = [line for line in difflib.unified_diff(before.splitlines(), after.splitlines(),
                                                      lineterm="", n=0)
                if line[:1] in "+-" and not line.startswith(("+++", "---"))]
        lines += ["%s %s" % (what, line) for line in diff]
    return lines


def check_expected(points, path, out):
    """The sample passes when what went wrong is exactly the listed set."""
    found = {(p.scenario.name, p.family, c) for p in points for c in p.classes
             if c != "unreached"}
    expected = set()
    with open(path) as stream:
        for line in stream:
            line = line.split("#", 1)[0].strip()
            if line:
                expected.add(tuple(line.split()))
    new = sorted(found - expected)
    fixed = sorted(expected - found)
    for entry in new:
        out.write("unexpected: %s %s %s\n" % entry)
    for entry in fixed:
        out.write("no longer seen (delete its line from %s): %s %s %s\n" %
                  ((os.path.basename(path),) + entry))
    return not new and not fixed


def parse_options(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", default=os.path.join(HERE, "..", "..", "build"))
    parser.add_argument("--library")
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--cap", type=int, default=1000)
    parser.add_argument("--timeout", type=float, default=30)
    parser.add_argument("--sample", action="store_true")
    parser.add_argument("--scenario", action="append", default=[])
    parser.add_argument("--function", action="append", default=[])
    parser.add_argument("--call", action="append", type=int, default=[])
    parser.add_argument("--details")
    parser.add_argument("--expected", default=os.path.join(HERE, "expected_failures.txt"))
    parser.add_argument("--accepted", default=os.path.join(HERE, "accepted_losses.txt"))
    return parser.parse_args(argv)


def main(argv):
    options = parse_options(argv)
    names = options.scenario or (fault_scenarios.SAMPLE_SCENARIOS if options.sample else
                                 [s.name for s in fault_scenarios.SCENARIOS])
    sweep = Sweep(options)
    sweep.run(sweep.plan(fault_scenarios.by_name(names)))
    sweep.explain(fault_frames.read_allowances(options.accepted))
    points = sorted(sweep.points, key=lambda p: (names.index(p.scenario.name), p.family, p.call))
    for problem in sweep.problems:
        sys.stdout.write("cannot measure: %s\n" % problem)
    print_summary(points, names, sys.stdout)
    if options.details:
        with open(options.details, "w") as out:
            print_details(points, sweep.baselines, out)
    else:
        print_details(points, sweep.baselines, sys.stdout)
    shutil.rmtree(sweep.setup.root, ignore_errors=True)
    if sweep.problems:
        return 2
    if options.sample:
        return 0 if check_expected(points, options.expected, sys.stdout) else 1
    return 1 if any(p.classes and p.classes != ["unreached"] for p in points) else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
