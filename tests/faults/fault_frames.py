"""Where a failed call was made: the frames the fault library logged,
resolved to functions and lines, and the allowance that names the one
silent loss the driver may leave to -v."""

import os
import re
import subprocess

_FRAME = re.compile(r"^  at (.+)\+0x([0-9a-f]+)$")


class Frame:
    def __init__(self, binary, offset):
        self.binary = binary
        self.offset = offset
        self.functions = []   # innermost first, inlined callers after it
        self.place = ""       # file:line of the innermost one

    def describe(self):
        name = self.functions[0] if self.functions else "?"
        return "%s (%s)" % (name, self.place or os.path.basename(self.binary))


def frames_of(injection, program):
    """The frames of the logged call made in PROGRAM's own code."""
    frames = []
    for line in injection.splitlines():
        match = _FRAME.match(line)
        if match and os.path.basename(match.group(1)) == program:
            frames.append(Frame(match.group(1), match.group(2)))
    return frames


def resolve(frames):
    """Fills in the functions and lines of FRAMES, one addr2line per program."""
    by_binary = {}
    for frame in frames:
        by_binary.setdefault(frame.binary, []).append(frame)
    for binary, group in by_binary.items():
        args = ["0x" + frame.offset for frame in group]
        try:
            # -a starts each frame's answer with its address; the pairs of
            # function and place that follow are its inline chain.
            out = subprocess.run(["addr2line", "-a", "-f", "-C", "-i", "-e", binary] + args,
                                 capture_output=True, text=True, check=True).stdout
        except (OSError, subprocess.CalledProcessError):
            continue
        chunks = []
        lines = out.splitlines()
        i = 0
        while i < len(lines):
            if lines[i].startswith("0x"):
                chunks.append([])
                i += 1
            elif i + 1 < len(lines) and chunks:
                chunks[-1].append((lines[i], lines[i + 1]))
                i += 2
            else:
                i += 1
        for frame, chunk in zip(group, chunks):
            frame.functions = [_short(function) for function, _ in chunk]
            frame.place = os.path.basename(chunk[0][1].split(" ")[0]) if chunk else ""


def _short(function):
    """vorn::(anonymous namespace)::name(args) -> name."""
    function = function.replace("(anonymous namespace)::", "")
    return re.sub(r"\(.*$", "", function).split("::")[-1]


class Allowance:
    """One accepted outcome: CLASS of a failed FAMILY call made (within the
    nearest frames of the program) by the function FUNCTION."""

    NEAREST = 3

    def __init__(self, family, function, outcome, reason):
        self.family = family
        self.function = function
        self.outcome = outcome
        self.reason = reason

    def covers(self, family, outcome, frames):
        if family != self.family or outcome != self.outcome:
            return False
        return any(self.function in frame.functions for frame in frames[:self.NEAREST])


def read_allowances(path):
    """Lines "FAMILY FUNCTION CLASS"; the comment block above a group of
    them is their reason."""
    allowances, reason, after_entry = [], [], False
    with open(path) as stream:
        for line in stream:
            line = line.strip()
            if not line:
                reason, after_entry = [], False
            elif line.startswith("#"):
                if after_entry:
                    reason, after_entry = [], False
                reason.append(line.lstrip("# "))
            else:
                family, function, outcome = line.split()
                allowances.append(Allowance(family, function, outcome, " ".join(reason)))
                after_entry = True
    return allowances
