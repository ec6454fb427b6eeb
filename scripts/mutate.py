#!/usr/bin/env python3
"""A mutation sampler: how many small faults in the product do the tests catch?

    scripts/dev mutate [COUNT] [SEED]

picks COUNT mutation points at random (the same ones for the same SEED and the
same sources) in the C++ sources of the product directories, then for each one
writes the mutant, rebuilds build/ incrementally, runs ctest and restores the
file.  Each mutant is printed with its outcome (killed, survived, did not
build, timed out); the summary gives the kill rate over the mutants that built.

The source file is always restored: on a normal end, on an error, on Ctrl-C,
SIGTERM and SIGHUP.  The original bytes are also kept in
build/mutate-backup/ while a mutant is in place, so that a run killed
outright (SIGKILL, power loss) is repaired by the next start.

Only plain code is mutated: comments, string and character literals and
preprocessor lines are masked out before the points are searched.
"""

import argparse
import dataclasses
import os
import random
import re
import shlex
import signal
import subprocess
import sys

PRODUCT_DIRS = ("driver", "specs", "options", "diagnostics", "support", "wrappers")
SOURCE_SUFFIXES = (".cc", ".h")


@dataclasses.dataclass
class Point:
    path: str        # relative to the root
    start: int       # offset of the replaced text in the file
    end: int
    replacement: str
    kind: str
    line: int        # 1-based line of start


# ---------------------------------------------------------------------------
# Masking: blank out everything that is not code, keeping offsets and lines.

RAW_STRING = re.compile(r'(?:u8|u|U|L)?R"([^()\\\s]{0,16})\(')


def mask_code(text):
    """Returns text with comments, literals and preprocessor lines blanked.

    Literals keep their quotes so that an expression still looks like one
    (`f("")`), everything else becomes spaces; newlines stay in place.
    """
    out = list(text)
    n = len(text)
    i = 0
    line_start = True

    def blank(a, b):
        for k in range(a, b):
            if out[k] != "\n":
                out[k] = " "

    while i < n:
        c = text[i]
        if c == "\n":
            line_start = True
            i += 1
            continue
        if line_start and c in " \t":
            i += 1
            continue
        if line_start and c == "#":
            j = i
            while j < n:
                if text[j] == "\n" and text[j - 1] != "\\":
                    break
                j += 1
            blank(i, j)
            i = j
            continue
        line_start = False
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            blank(i, j)
            i = j
            continue
        if text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            blank(i, j)
            i = j
            continue
        raw = RAW_STRING.match(text, i)
        if raw and (i == 0 or not (text[i - 1].isalnum() or text[i - 1] == "_")):
            close = ")" + raw.group(1) + '"'
            j = text.find(close, raw.end())
            j = n if j < 0 else j + len(close)
            blank(i + 1, j - 1)
            i = j
            continue
        if c == '"' or (c == "'" and not _digit_separator(text, i)):
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            j = min(j + 1, n)
            blank(i + 1, j - 1)
            i = j
            continue
        i += 1
    return "".join(out)


def _digit_separator(text, i):
    """True for the ' of 1'000: it follows a digit inside a number."""
    j = i - 1
    while j >= 0 and (text[j].isalnum() or text[j] in "'."):
        j -= 1
    return i > 0 and text[i - 1].isalnum() and text[j + 1].isdigit()


# ---------------------------------------------------------------------------
# Finding mutation points in the masked text.

SWAPS = {"==": "!=", "!=": "==", "<": "<=", "<=": "<", ">": ">=", ">=": ">",
         "&&": "||", "||": "&&"}
SWAP_KIND = {"==": "==/!=", "!=": "==/!=", "<": "</<=", "<=": "</<=",
             ">": ">/>=", ">=": ">/>=", "&&": "&&/||", "||": "&&/||"}
# A binary operator written with a space on each side: this keeps template
# brackets, shifts, arrows and rvalue references out.
BINARY = re.compile(r"(?<= )(==|!=|<=|>=|<|>|&&|\|\|)(?= )")
BOOL = re.compile(r"\b(true|false)\b")
PLUS_MINUS_ONE = re.compile(r"(?<=[\w)\]]) [+-] 1(?![\w.'])")
INCREMENT = re.compile(r"(?<![+\-\w])(\+\+|--)(?=[A-Za-z_(*])|(?<=[\w)\]])(\+\+|--)(?![+\-\w])")
RETURN = re.compile(r"\breturn\b")
STATEMENT_START = re.compile(
    r"(?!(?:return|break|continue|case|default|goto|using|typedef|namespace|"
    r"template|static|static_assert|const|constexpr|auto|inline|extern|struct|"
    r"class|union|enum|public|private|protected|friend|throw|delete|new|if|for|"
    r"while|switch|do|else|try|catch|sizeof|decltype|operator|co_\w+)\b)"
    r"(?:[A-Za-z_][\w:]*(?:\s*(?:\.|->)\s*[A-Za-z_]\w*|\[[^\]]*\])*"
    r"\s*(?:\(|=(?!=)|\+=|-=|\*=|/=|\|=|&=|\^=|<<=|>>=|\+\+|--)"
    r"|(?:\+\+|--)[A-Za-z_])")
# What a return value is left alone for: the true/false kind covers booleans,
# and an empty value has no obvious other value.
EMPTY_RETURN = re.compile(r"^(?:true|false|nullptr|std::nullopt|\"\"|[\w:<>]*(?:\{\}|\(\))|)$")


def find_points(path, text):
    masked = mask_code(text)
    line_starts = [0] + [m.end() for m in re.finditer("\n", text)]
    points = []

    def add(start, end, replacement, kind):
        points.append(Point(path, start, end, replacement, kind, _line_of(line_starts, start)))

    for m in BINARY.finditer(masked):
        add(m.start(), m.end(), SWAPS[m.group(1)], SWAP_KIND[m.group(1)])
    for m in BOOL.finditer(masked):
        add(m.start(), m.end(), "false" if m.group(1) == "true" else "true", "true/false")
    for m in PLUS_MINUS_ONE.finditer(masked):
        add(m.start(), m.end(), "", "+1/-1 dropped")
    for m in INCREMENT.finditer(masked):
        if "operator" in masked[max(0, m.start() - 9):m.start()]:
            continue
        op = m.group(0)
        add(m.start(), m.end(), "--" if op == "++" else "++", "++/--")
    for m in RETURN.finditer(masked):
        point = _return_point(masked, text, m.end())
        if point:
            add(point[0], point[1], point[2], "return value")
    for start, end in _statements(masked):
        add(start, end, "", "statement removed")
    points.sort(key=lambda p: (p.start, p.kind))
    return points


def _line_of(line_starts, offset):
    lo, hi = 0, len(line_starts)
    while hi - lo > 1:
        mid = (lo + hi) // 2
        if line_starts[mid] <= offset:
            lo = mid
        else:
            hi = mid
    return lo + 1


def _statement_end(masked, start, limit):
    """Offset just past the ';' ending the statement at start (depth 0)."""
    depth = 0
    for k in range(start, min(limit, len(masked))):
        c = masked[k]
        if c in "([{":
            depth += 1
        elif c in ")]}":
            depth -= 1
            if depth < 0:
                return None
        elif c == ";" and depth == 0:
            return k + 1
    return None


def _return_point(masked, text, after):
    end = _statement_end(masked, after, after + 400)
    if end is None:
        return None
    value = masked[after:end - 1].strip()
    if EMPTY_RETURN.match(value) or not masked[after:after + 1].isspace():
        return None
    start = after + (len(masked[after:end - 1]) - len(masked[after:end - 1].lstrip()))
    stop = end - 1
    literal = text[start:stop].strip()
    if re.fullmatch(r"-?\d+", literal):
        return start, stop, "1" if literal == "0" else "0"
    return start, stop, "{}"


def _statements(masked):
    """Expression statements that begin a line after a complete statement."""
    previous_end = "{"
    offset = 0
    for line in masked.split("\n"):
        stripped = line.strip()
        if stripped:
            indent = len(line) - len(line.lstrip())
            if previous_end in ";{}" or (previous_end == ":" and not stripped.startswith(":")):
                if STATEMENT_START.match(stripped):
                    end = _statement_end(masked, offset + indent, offset + indent + 600)
                    # At most a few lines, and no block of its own at depth 0.
                    if end is not None and masked.count("\n", offset, end) <= 4:
                        yield offset + indent, end
            previous_end = stripped[-1]
        offset += len(line) + 1


def collect_points(root):
    points = []
    for directory in PRODUCT_DIRS:
        base = os.path.join(root, directory)
        for dirpath, dirnames, filenames in os.walk(base):
            # The table generator runs at build time: a mutant there mostly
            # trips the generator's own checks, and costs a rebuild of the
            # whole option table.
            dirnames[:] = sorted(d for d in dirnames if os.path.join(directory, d) != os.path.join("options", "gen"))
            for name in sorted(filenames):
                if not name.endswith(SOURCE_SUFFIXES):
                    continue
                full = os.path.join(dirpath, name)
                with open(full, encoding="utf-8", errors="surrogateescape") as f:
                    text = f.read()
                points.extend(find_points(os.path.relpath(full, root), text))
    return points


def sample(points, count, seed):
    """The same points for the same seed, grouped by file so that restoring
    one mutant and building the next recompiles the file once."""
    chosen = random.Random(seed).sample(range(len(points)), min(count, len(points)))
    return sorted((points[k] for k in chosen), key=lambda p: (p.path, p.start))


# ---------------------------------------------------------------------------
# Applying and restoring, with a backup that survives the process.

def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def write_bytes(path, data):
    with open(path, "wb") as f:
        f.write(data)
        f.flush()
        os.fsync(f.fileno())


def mutant_text(text, point):
    return text[:point.start] + point.replacement + text[point.end:]


class Backup:
    """build/mutate-backup/: 'original' holds the bytes, 'path' (written
    second) names the file they belong to and marks the backup complete."""

    def __init__(self, build_dir):
        self.dir = os.path.join(build_dir, "mutate-backup")
        self.original = os.path.join(self.dir, "original")
        self.marker = os.path.join(self.dir, "path")

    def save(self, path, data):
        os.makedirs(self.dir, exist_ok=True)
        write_bytes(self.original, data)
        write_bytes(self.marker, os.fsencode(path))

    def clear(self):
        for name in (self.marker, self.original):
            if os.path.exists(name):
                os.remove(name)

    def restore_leftover(self):
        """Puts back a file left mutated by a run that was killed outright."""
        if not os.path.exists(self.marker):
            self.clear()
            return None
        path = os.fsdecode(read_bytes(self.marker))
        write_bytes(path, read_bytes(self.original))
        self.clear()
        return path


class Interrupted(Exception):
    def __init__(self, signum):
        super().__init__(signum)
        self.signum = signum


def _raise_interrupted(signum, frame):
    raise Interrupted(signum)


def install_signal_handlers():
    for signum in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
        signal.signal(signum, _raise_interrupted)


def run_child(command, cwd, timeout):
    """Runs command in its own process group, so that an interrupt or a
    timeout ends the whole tree (ninja's compilers, ctest's tests) too.
    Returns (status, output); status is None on a timeout."""
    child = subprocess.Popen(command, cwd=cwd, stdout=subprocess.PIPE,
                             stderr=subprocess.STDOUT, start_new_session=True)
    try:
        output, _ = child.communicate(timeout=timeout)
        return child.returncode, output.decode(errors="replace")
    except subprocess.TimeoutExpired:
        _end_group(child)
        return None, ""
    except BaseException:
        _end_group(child)
        raise


def _end_group(child):
    # Signals must not interrupt the cleanup itself.
    old = {s: signal.signal(s, signal.SIG_IGN) for s in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP)}
    try:
        for sig, wait in ((signal.SIGTERM, 5), (signal.SIGKILL, 30)):
            try:
                os.killpg(child.pid, sig)
            except ProcessLookupError:
                break
            try:
                child.wait(timeout=wait)
                break
            except subprocess.TimeoutExpired:
                continue
    finally:
        for s, handler in old.items():
            signal.signal(s, handler)


# ---------------------------------------------------------------------------
# One mutant: write, build, test, restore.

FAILED_TEST = re.compile(r"^\s*\d+ - (\S+) \(([^)]*)\)", re.M)


def classify_tests(status, output):
    """(outcome, detail) from a ctest run."""
    if status is None:
        return "timed out", "ctest"
    if status == 0:
        return "survived", ""
    # Only the FAILED list: ctest also lists the tests that did not run.
    failed_list = output.partition("The following tests FAILED:")[2]
    failed = FAILED_TEST.findall(failed_list)
    names = [name for name, _ in failed]
    if failed and all("Timeout" in why for _, why in failed):
        return "timed out", " ".join(names[:3])
    return "killed", " ".join(names[:3])


def run_mutant(args, backup, point):
    full = os.path.join(args.root, point.path)
    original = read_bytes(full)
    text = original.decode("utf-8", errors="surrogateescape")
    mutated = mutant_text(text, point).encode("utf-8", errors="surrogateescape")
    backup.save(full, original)
    try:
        write_bytes(full, mutated)
        status, _ = run_child(args.build_command, args.root, args.build_timeout)
        if status != 0:
            return "did not build", ""
        status, output = run_child(args.test_command, args.root, args.suite_timeout)
        return classify_tests(status, output)
    finally:
        write_bytes(full, original)
        backup.clear()


def describe(point, text):
    """The mutated line before and after, for the report."""
    line_start = text.rfind("\n", 0, point.start) + 1
    line_end = text.find("\n", point.end)
    line_end = len(text) if line_end < 0 else line_end
    before = text[line_start:line_end]
    after = before[:point.start - line_start] + point.replacement + before[point.end - line_start:]
    return _one_line(before), _one_line(after)


def _one_line(s):
    return " ".join(s.split())


def retry_points(points, log_path):
    """The survivors listed in an earlier log, found again in today's sources
    by file, kind and line text (line numbers move as the sources change)."""
    header = re.compile(r"^\[\s*\d+/\d+\] (\S+):(\d+) +(.+?) +survived\s*$")
    wanted = []
    with open(log_path, encoding="utf-8", errors="replace") as f:
        lines = f.read().split("\n")
    for k, line in enumerate(lines):
        m = header.match(line)
        if m and k + 2 < len(lines):
            wanted.append((m.group(1), int(m.group(2)), m.group(3),
                           lines[k + 1].strip()[2:], lines[k + 2].strip()[2:]))
    texts = {}
    found = []
    for path, line, kind, before, after in wanted:
        candidates = []
        for p in points:
            if p.path != path or p.kind != kind:
                continue
            if path not in texts:
                texts[path] = read_bytes(p.full).decode("utf-8", errors="surrogateescape")
            if describe(p, texts[path]) == (before, after):
                candidates.append(p)
        if candidates:
            found.append(min(candidates, key=lambda p: abs(p.line - line)))
        else:
            print(f"gone: {path}:{line} {kind}: {before}")
    return found


def parse_args(argv):
    parser = argparse.ArgumentParser(prog="scripts/dev mutate", description=__doc__.split("\n")[0])
    parser.add_argument("count", nargs="?", type=int, default=20)
    parser.add_argument("seed", nargs="?", type=int, default=1)
    parser.add_argument("--root", default=os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    parser.add_argument("--build-dir", help="default: ROOT/build")
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--test-timeout", type=int, default=300, help="seconds per ctest test")
    parser.add_argument("--build-command", help="shell command instead of the incremental build")
    parser.add_argument("--test-command", help="shell command instead of ctest")
    parser.add_argument("--retry", metavar="LOG", help="rerun the survivors of an earlier run's log")
    parser.add_argument("--list", action="store_true", help="print the chosen points, run nothing")
    args = parser.parse_args(argv)
    args.root = os.path.abspath(args.root)
    args.build_dir = os.path.abspath(args.build_dir or os.path.join(args.root, "build"))
    if args.build_command:
        args.build_command = ["sh", "-c", args.build_command]
    else:
        args.build_command = ["cmake", "--build", args.build_dir, "-j", str(args.jobs)]
    if args.test_command:
        args.test_command = ["sh", "-c", args.test_command]
    else:
        # The first failure decides; the remaining tests would only cost time.
        args.test_command = ["ctest", "--test-dir", args.build_dir, "-j", str(args.jobs),
                             "--timeout", str(args.test_timeout), "--stop-on-failure"]
    args.build_timeout = 1800
    args.suite_timeout = 4 * args.test_timeout + 600
    return args


def main(argv):
    args = parse_args(argv)
    install_signal_handlers()
    backup = Backup(args.build_dir)
    try:
        left = backup.restore_leftover()
        if left:
            print(f"restored {os.path.relpath(left, args.root)} from a run that was killed", flush=True)
        points = collect_points(args.root)
        for p in points:
            p.full = os.path.join(args.root, p.path)
        chosen = retry_points(points, args.retry) if args.retry else sample(points, args.count, args.seed)
        files = len({p.path for p in points})
        print(f"seed {args.seed}: {len(chosen)} mutants of {len(points)} points in {files} files", flush=True)
        return run_all(args, backup, chosen)
    except Interrupted as e:
        print(f"interrupted by signal {e.signum}; the sources are restored", flush=True)
        return 128 + e.signum


def run_all(args, backup, chosen):
    counts = {"killed": 0, "survived": 0, "did not build": 0, "timed out": 0}
    for k, point in enumerate(chosen, 1):
        text = read_bytes(point.full).decode("utf-8", errors="surrogateescape")
        before, after = describe(point, text)
        if args.list:
            outcome, detail = "listed", ""
        else:
            outcome, detail = run_mutant(args, backup, point)
            counts[outcome] += 1
        suffix = f" ({detail})" if detail else ""
        print(f"[{k:3}/{len(chosen)}] {point.path}:{point.line} {point.kind} {outcome}{suffix}\n"
              f"    - {before}\n    + {after}", flush=True)
    if args.list or not chosen:
        return 0
    print(", ".join(f"{name} {n}" for name, n in counts.items()) + f" ({len(chosen)} mutants)")
    built = counts["killed"] + counts["survived"] + counts["timed out"]
    detected = counts["killed"] + counts["timed out"]
    if built:
        print(f"kill rate {100.0 * detected / built:.1f}% ({detected} of {built} built mutants "
              "killed or timed out)")
    # The build tree matches the restored sources again.
    run_child(args.build_command, args.root, args.build_timeout)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
