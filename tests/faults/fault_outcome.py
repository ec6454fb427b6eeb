"""Running one point of the sweep (a scenario with one call failed, or none)
and classifying what it did against the fault-free run."""

import hashlib
import os
import re
import shutil
import signal
import subprocess
import time

CLASSES = ["crash", "hang", "silent", "wrong-success", "leak", "lost"]

# A temporary file's path: a directory, the prefix "cc", six characters made
# unique, a suffix.
_TEMP_NAME = re.compile(r"(?:\$RUN|/)[^\s'\"=:,]*/cc[A-Za-z0-9]{6}(?![A-Za-z0-9_])"
                        r"((?:\.[A-Za-z0-9_+-]+)*)")
_TEMP_DIRS = ("/tmp/", "/var/tmp/")


class Setup:
    """What every run shares: where the programs and the library are."""

    def __init__(self, stage, library, root, timeout):
        self.stage = stage
        # A search of PATH finds the staged tools, never the machine's.
        tool_dirs = [os.path.join(stage, entry, "bin") for entry in sorted(os.listdir(stage))
                     if entry not in ("bin", "lib", "libexec")]
        self.path = ":".join(d for d in tool_dirs if os.path.isdir(d))
        self.library = library
        self.root = root
        self.timeout = timeout


class Observation:
    """What one run left behind, its names made comparable between runs."""

    def __init__(self):
        self.status = None        # exit status, -N for signal N, None for a hang
        self.stderr = ""
        self.stdout = ""
        self.records = []         # the stand-ins' records, one text per run, sorted
        self.files = {}           # user-visible files of the working directory: name -> digest
        self.inputs = {}          # the files laid out before the run: name -> digest
        self.leaked = []          # temporary files left behind
        self.counts = {}          # counting mode: family -> calls
        self.injection = None     # the fault log, when the call was failed
        self.unreaped = 0         # children not reaped when the program exited


def run_point(setup, scenario, index, family, call):
    """Runs SCENARIO with call CALL of FAMILY failed (CALL 0: none failed)."""
    # Every run's directory has a name of the same length, so that the
    # program under test allocates alike in all of them.
    scratch = os.path.join(setup.root, "p%07d" % index)
    work, tmp = os.path.join(scratch, "work"), os.path.join(scratch, "tmp")
    shutil.rmtree(scratch, ignore_errors=True)
    os.makedirs(work)
    os.makedirs(tmp)
    scenario.lay_out(work)
    observed = Observation()
    observed.inputs = _digests(work, scratch)
    env = {
        "PATH": setup.path,
        "LC_ALL": "C",
        "TMPDIR": tmp,
        "STANDIN_LOG": os.path.join(scratch, "records"),
        "LD_PRELOAD": setup.library,
        "VORN_FAULT_PROGRAM": scenario.program,
        "VORN_FAULT_FUNCTION": family,
        "VORN_FAULT_NTH": "%07d" % call,
        "VORN_FAULT_COUNT": os.path.join(scratch, "counts"),
        "VORN_FAULT_LOG": os.path.join(scratch, "fault.log"),
    }
    argv = [os.path.join(setup.stage, "bin", scenario.program)] + scenario.args
    _execute(setup, scenario, argv, env, scratch, work, observed)
    _collect(scratch, work, tmp, observed)
    shutil.rmtree(scratch, ignore_errors=True)
    return observed


def _execute(setup, scenario, argv, env, scratch, work, observed):
    stdout_path = "/dev/full" if scenario.full_stdout else os.path.join(scratch, "stdout")
    with open(stdout_path, "wb") as out, open(os.path.join(scratch, "stderr"), "wb") as err:
        child = subprocess.Popen(argv, cwd=work, env=env, stdin=subprocess.DEVNULL, stdout=out,
                                 stderr=err, start_new_session=True)
        deadline = time.monotonic() + setup.timeout
        try:
            observed.status = child.wait(timeout=setup.timeout)
        except subprocess.TimeoutExpired:
            observed.status = None
        # A child the program left running may still write: the run is over
        # when the last process of its group is, which keeps a run's
        # outcome from depending on timing.
        if observed.status is not None and not _group_ends(child.pid, deadline):
            observed.status = None
        try:
            os.killpg(child.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        child.wait()
    observed.stderr = _read(os.path.join(scratch, "stderr"))
    if not scenario.full_stdout:
        observed.stdout = _normalise(_read(os.path.join(scratch, "stdout")), scratch)


def _group_ends(group, deadline):
    while time.monotonic() < deadline:
        try:
            os.killpg(group, 0)
        except ProcessLookupError:
            return True
        time.sleep(0.002)
    return False


def _collect(scratch, work, tmp, observed):
    raw_records = _read(os.path.join(scratch, "records"))
    observed.records = sorted(_normalise(record, scratch)
                              for record in _split_records(raw_records))
    observed.files = _digests(work, scratch)
    observed.leaked = sorted(os.listdir(tmp))
    # A temporary directory other than TMPDIR (when the test of TMPDIR was
    # failed) is shared: only the names this run used are looked at.
    for match in _TEMP_NAME.finditer(raw_records + observed.stderr):
        path = match.group(0)
        if path.startswith(_TEMP_DIRS) and os.path.isfile(path):
            observed.leaked.append(path)
            os.unlink(path)
    counts = _read(os.path.join(scratch, "counts"))
    observed.counts = {name: int(n) for name, n in (line.split() for line in counts.splitlines())}
    log = _read(os.path.join(scratch, "fault.log"))
    observed.injection = log if ": failed call " in log else None
    unreaped = re.search(r": exit with unreaped children: (\d+)", log)
    observed.unreaped = int(unreaped.group(1)) if unreaped else 0


def _read(path):
    try:
        with open(path, "rb") as stream:
            return stream.read().decode("utf-8", "replace")
    except FileNotFoundError:
        return ""


def _split_records(text):
    records, current = [], []
    for line in text.splitlines():
        if re.match(r"[^:\s]+: run( |$)", line) and current:
            records.append("\n".join(current))
            current = []
        current.append(line)
    if current:
        records.append("\n".join(current))
    return records


def _normalise(text, scratch):
    """The run's own directory and its temporaries' random parts replaced by
    fixed names, numbered in order of appearance."""
    text = text.replace(scratch, "$RUN")
    names = {}

    def rename(match):
        key = match.group(0)
        if key not in names:
            names[key] = "TEMP%d%s" % (len(names) + 1, match.group(1))
        return names[key]

    return _TEMP_NAME.sub(rename, text)


def _digests(work, scratch):
    found = {}
    for directory, _, files in os.walk(work):
        for name in files:
            path = os.path.join(directory, name)
            with open(path, "rb") as stream:
                text = stream.read().decode("utf-8", "replace")
            found[os.path.relpath(path, work)] = hashlib.sha1(
                _normalise(text, scratch).encode()).hexdigest()
    return found


def classify(observed, baseline, family):
    """The classes of a run that went wrong (an empty list: it ended well)."""
    classes = []
    status = observed.status
    if status is None:
        return ["hang"]
    if status < 0 or status > 4:
        classes.append("crash")
    elif status != 0 and not observed.stderr.strip():
        classes.append("silent")
    if status == 0 and _differs(observed, baseline, family):
        classes.append("wrong-success")
    if observed.leaked:
        classes.append("leak")
    if _lost_inputs(observed, baseline):
        classes.append("lost")
    return classes


def _differs(observed, baseline, family):
    if baseline.status != 0:
        return True
    mine = [observed.stdout] + observed.records + sorted(observed.files.items())
    theirs = [baseline.stdout] + baseline.records + sorted(baseline.files.items())
    if mine == theirs:
        return False
    return not (family in ("stat", "access") and _only_candidates_differ(observed, baseline))


def _only_candidates_differ(observed, baseline):
    """A search that cannot see a file or directory passes over it: to the
    next candidate (another directory, or the next program of a list, such
    as ld after ldwrap), to the bare name, or to nothing for an optional
    file or a list of directories.  Those are the differences a failed stat
    or access may make: the same commands, with the same words, but for the
    paths found and the names of what the search picked.  The files made
    must be the same ones; what they hold may name other paths."""
    if sorted(observed.files) != sorted(baseline.files):
        return False
    mine = [observed.stdout] + observed.records
    theirs = [baseline.stdout] + baseline.records
    picked = _picked_names(mine + theirs)
    return [_other_words(text, picked) for text in mine] == \
        [_other_words(text, picked) for text in theirs]


_WORD = re.compile(r"[^\s=:,'\"]+")


def _picked_names(texts):
    """The last components of every path named in TEXTS."""
    return {word.rstrip("/").rsplit("/", 1)[-1] for text in texts for word in _WORD.findall(text)
            if "/" in word}


def _other_words(text, picked):
    words = []
    for line in text.splitlines():
        # One argument a line repeats the run line, numbered: a directory
        # passed over shifts the numbers of all that follow.
        if _ARG_LINE.match(line):
            continue
        # A variable whose value is what a search found is not exported
        # when nothing was found.
        env = _ENV_LINE.match(line)
        if env and all("/" in word for word in _WORD.findall(env.group(1))):
            continue
        words += [word for word in _WORD.findall(line) if "/" not in word and word not in picked]
    return words


_ARG_LINE = re.compile(r"^\S+: arg\d+@?=")
_ENV_LINE = re.compile(r"^\S+: env [A-Z_]+=(.*)$")


def _lost_inputs(observed, baseline):
    kept = {name: digest for name, digest in baseline.inputs.items()
            if baseline.files.get(name) == digest}
    return [name for name, digest in kept.items() if observed.files.get(name) != digest]
