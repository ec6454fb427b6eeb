"""The runs the fault sweep fails calls in: what a user typically asks of the
driver and of the archiver wrapper, each in a scratch directory of its own."""

import os

SOURCE = "int main() { return 0; }\n"
EXTRA_SPECS = "*lib:\n+ -lextra\n"


class Scenario:
    """One command of the sweep.

    program: the staged program run and failed ("vorn-cxx", "vorn-ar").
    args: its arguments after argv[0].
    files: the user's files laid out in the working directory first.
    query: standard output is an answer, compared like a file.
    full_stdout: standard output is /dev/full, so writing the answer fails.
    fails: the fault-free run itself ends with an error (status 1).
    """

    def __init__(self, name, args, files=None, program="vorn-cxx", query=False,
                 full_stdout=False, fails=False):
        self.name = name
        self.program = program
        self.args = args
        self.files = files or {}
        self.query = query
        self.full_stdout = full_stdout
        self.fails = fails or full_stdout

    def lay_out(self, work_dir):
        for name, text in self.files.items():
            with open(os.path.join(work_dir, name), "w") as out:
                out.write(text)


def _queries():
    runs = []
    for name, args in (("version", ["--version"]),
                       ("print-search-dirs", ["-print-search-dirs"]),
                       ("dumpspecs", ["-dumpspecs"])):
        runs.append(Scenario(name, args, query=True))
        # Every query is also asked with nowhere to write the answer: the
        # write error must be reported, whatever else fails.
        runs.append(Scenario(name + ">full", args, query=True, full_stdout=True))
    return runs


SCENARIOS = [
    Scenario("link", ["-o", "prog", "a.cc"], {"a.cc": SOURCE}),
    Scenario("compile", ["-c", "a.cc"], {"a.cc": SOURCE}),
    Scenario("save-temps", ["-save-temps", "-c", "a.cc"], {"a.cc": SOURCE}),
    Scenario("pipe", ["-pipe", "-c", "a.cc"], {"a.cc": SOURCE}),
    Scenario("argfile", ["@args"], {"a.cc": SOURCE, "args": "-c a.cc -o out.o\n"}),
    Scenario("specs-file", ["-specs=extra.specs", "-o", "prog", "a.cc"],
             {"a.cc": SOURCE, "extra.specs": EXTRA_SPECS}),
] + _queries() + [
    Scenario("unknown-option", ["-Werorr", "-c", "a.cc"], {"a.cc": SOURCE}, fails=True),
    Scenario("ar", ["rcs", "libx.a", "a.o"], {"a.o": "standin as output\n"}, program="vorn-ar"),
]

# The ctest sample: every scenario but the slowest twins, a few calls of
# every function each (run_faults.py --sample).
SAMPLE_SCENARIOS = ["link", "compile", "pipe", "argfile", "specs-file", "version",
                    "version>full", "dumpspecs>full", "unknown-option", "ar"]


def by_name(names):
    known = {scenario.name: scenario for scenario in SCENARIOS}
    unknown = [name for name in names if name not in known]
    if unknown:
        raise SystemExit("unknown scenario: %s (known: %s)" %
                         (", ".join(unknown), ", ".join(known)))
    return [known[name] for name in names]
