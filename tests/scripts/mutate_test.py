#!/usr/bin/env python3
"""The mutation sampler leaves the sources byte-identical: after every
mutant, after an interrupt, and after a run that was killed outright.

Runs on a scratch copy of a few product files with stand-in build and test
commands, so it takes a second or two."""

import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SAMPLER = os.path.join(ROOT, "scripts", "mutate.py")
sys.path.insert(0, os.path.dirname(SAMPLER))
import mutate  # noqa: E402

COPIED = ["driver/temp_files.cc", "specs/specs_file.cc", "options/integer_argument.cc"]

# Everything here that is not code must come out unchanged.
NOT_CODE = r'''#include <a.h>
#define LIMIT(a, b) ((a) < (b) && true)
// if (a == b) return 1;
/* x < y || true;
   ++z; */
const char* s = "a == b && true; return 0;";
const char* r = R"x(a != b; f(true);)x";
char c = '<';
int n = 1'000;
'''

CODE = r'''
int f(int a, int b) {
  if (a == b && b < 3) return 0;
  a = a + 1;
  g(a, true);
  ++b;
  return a;
}
'''


def snapshot(root):
    files = {}
    for dirpath, _, names in os.walk(root):
        if "build" in os.path.relpath(dirpath, root).split(os.sep):
            continue
        for name in names:
            full = os.path.join(dirpath, name)
            files[os.path.relpath(full, root)] = (mutate.read_bytes(full), os.stat(full).st_mode)
    return files


class ScratchTree(unittest.TestCase):
    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="mutate-test-")
        self.addCleanup(shutil.rmtree, self.root)
        for rel in COPIED:
            os.makedirs(os.path.join(self.root, os.path.dirname(rel)), exist_ok=True)
            shutil.copy2(os.path.join(ROOT, rel), os.path.join(self.root, rel))
        self.write("wrappers/sample.cc", NOT_CODE + CODE)
        self.write("tests/unit/ignored.cc", CODE)
        self.before = snapshot(self.root)

    def write(self, rel, text):
        os.makedirs(os.path.join(self.root, os.path.dirname(rel)), exist_ok=True)
        with open(os.path.join(self.root, rel), "w") as f:
            f.write(text)

    def sampler(self, *args, build="true", test="true"):
        return [sys.executable, SAMPLER, "--root", self.root, "--build-command", build,
                "--test-command", test, *map(str, args)]

    def run_sampler(self, *args, **commands):
        return subprocess.run(self.sampler(*args, **commands), capture_output=True, text=True,
                              timeout=120)

    def assertTreeUnchanged(self):
        self.assertEqual(snapshot(self.root), self.before)
        self.assertFalse(os.path.exists(os.path.join(self.root, "build", "mutate-backup", "path")))


class Points(ScratchTree):
    def test_only_code_outside_tests_is_mutated(self):
        points = mutate.collect_points(self.root)
        self.assertNotIn("tests/unit/ignored.cc", {p.path for p in points})
        sample = [p for p in points if p.path == "wrappers/sample.cc"]
        text = NOT_CODE + CODE
        code_start = len(NOT_CODE)
        self.assertEqual([p.start for p in sample if p.start < code_start], [])
        found = {(p.kind, text[p.start:p.end], p.replacement) for p in sample}
        self.assertEqual(found, {
            ("==/!=", "==", "!="), ("&&/||", "&&", "||"), ("</<=", "<", "<="),
            ("return value", "0", "1"), ("return value", "a", "{}"),
            ("+1/-1 dropped", " + 1", ""), ("true/false", "true", "false"),
            ("++/--", "++", "--"), ("statement removed", "a = a + 1;", ""),
            ("statement removed", "g(a, true);", ""), ("statement removed", "++b;", "")})

    def test_every_point_applies_and_restores_exactly(self):
        points = mutate.collect_points(self.root)
        self.assertGreater(len(points), 100)
        for p in points:
            full = os.path.join(self.root, p.path)
            original = mutate.read_bytes(full)
            text = original.decode("utf-8", errors="surrogateescape")
            mutant = mutate.mutant_text(text, p)
            self.assertNotEqual(mutant, text, p)
            # Only the point's own line(s) differ.
            self.assertEqual(mutant.count("\n") + text[p.start:p.end].count("\n"), text.count("\n")
                             + p.replacement.count("\n"), p)
        self.assertTreeUnchanged()

    def test_the_seed_decides_the_sample(self):
        points = mutate.collect_points(self.root)
        first = mutate.sample(points, 10, 7)
        self.assertEqual(first, mutate.sample(points, 10, 7))
        self.assertNotEqual(first, mutate.sample(points, 10, 8))


class Runs(ScratchTree):
    def test_outcomes_and_kill_rate(self):
        # A stand-in suite that fails for mutants of one file: the others survive.
        test = "cmp -s driver/temp_files.cc " + os.path.join(ROOT, "driver/temp_files.cc")
        result = self.run_sampler(12, 3, test=test)
        self.assertEqual(result.returncode, 0, result.stderr)
        lines = result.stdout.splitlines()
        self.assertRegex(lines[0], r"^seed 3: 12 mutants of \d+ points in 4 files$")
        outcomes = [line for line in lines if line.startswith("[")]
        self.assertEqual(len(outcomes), 12)
        killed = sum(1 for line in outcomes if " killed" in line)
        survived = sum(1 for line in outcomes if line.endswith(" survived"))
        self.assertEqual(killed, sum(1 for line in outcomes if "driver/temp_files.cc:" in line))
        self.assertEqual(killed + survived, 12)
        self.assertEqual(lines[-2], f"killed {killed}, survived {survived}, did not build 0, "
                         "timed out 0 (12 mutants)")
        self.assertTrue(lines[-1].startswith(f"kill rate {100.0 * killed / 12:.1f}% "))
        self.assertTreeUnchanged()

    def test_build_failure_is_not_a_kill(self):
        result = self.run_sampler(3, 1, build="false")
        self.assertIn("killed 0, survived 0, did not build 3, timed out 0 (3 mutants)", result.stdout)
        self.assertTreeUnchanged()

    def test_survivors_are_found_again_by_retry(self):
        first = self.run_sampler(6, 5, test="false")
        log = os.path.join(self.root, "build", "first.log")
        with open(log, "w") as f:
            f.write(first.stdout.replace(" killed", " survived"))
        again = self.run_sampler(0, 0, "--retry", log, test="false")
        self.assertEqual([line.split()[1:3] for line in again.stdout.splitlines() if line.startswith("[")],
                         [line.split()[1:3] for line in first.stdout.splitlines() if line.startswith("[")])
        self.assertTreeUnchanged()

    def test_terminated_while_testing_restores_the_file(self):
        for signum in (signal.SIGTERM, signal.SIGINT):
            marker = os.path.join(self.root, "build", "mutate-backup", "path")
            child = subprocess.Popen(self.sampler(5, 2, test="sleep 60"), stdout=subprocess.PIPE,
                                     stderr=subprocess.PIPE, text=True)
            deadline = time.monotonic() + 30
            while not os.path.exists(marker) and time.monotonic() < deadline:
                time.sleep(0.02)
            time.sleep(0.2)
            self.assertNotEqual(snapshot(self.root), self.before)
            child.send_signal(signum)
            out, _ = child.communicate(timeout=30)
            self.assertEqual(child.returncode, 128 + signum)
            self.assertIn("the sources are restored", out)
            self.assertTreeUnchanged()

    def test_leftover_backup_is_restored_on_the_next_start(self):
        # What a run killed with SIGKILL leaves: the backup and the mutant.
        point = mutate.collect_points(self.root)[0]
        full = os.path.join(self.root, point.path)
        original = mutate.read_bytes(full)
        mutate.Backup(os.path.join(self.root, "build")).save(full, original)
        mutate.write_bytes(full, mutate.mutant_text(original.decode(), point).encode())
        result = self.run_sampler(0, 1)
        self.assertEqual(result.stdout.splitlines()[0],
                         f"restored {point.path} from a run that was killed")
        self.assertTreeUnchanged()


if __name__ == "__main__":
    unittest.main()
