#!/usr/bin/env python3
"""The sweep's classification on made-up runs: the rules that decide what
counts as going wrong, where a mistake would hide a fault or invent one."""
import os
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import fault_outcome  # noqa: E402

STAGE = "/s/stage/bin/../libexec/vorn/m/1/"
LINK = ("ldwrap: run -plugin %slibltolink.so -L/s/lib -L/usr/local/lib x.o\n"
        "ldwrap: arg0=%sldwrap\nldwrap: arg1=-L/s/lib\nldwrap: arg2=-L/usr/local/lib\n"
        "ldwrap: env COLLECT_LTO_RUNNER=%slto-runner\n"
        "ldwrap: env VORN_EXEC_PREFIX=/s/stage/lib/vorn/" % (STAGE, STAGE, STAGE))


def run(status=0, stderr="", records=(LINK,), files=None, leaked=(), inputs=None):
    observed = fault_outcome.Observation()
    observed.status = status
    observed.stderr = stderr
    observed.records = list(records)
    observed.files = {"a.cc": "1", "prog": "2"} if files is None else files
    observed.inputs = {"a.cc": "1"} if inputs is None else inputs
    observed.leaked = list(leaked)
    return observed


BASELINE = run()

# (what, family, run, expected classes)
CASES = [
    ("the fault-free outcome", "malloc", run(), []),
    ("a clear error", "close", run(1, "vorn-cxx: error: x", files={"a.cc": "1"}), []),
    ("an error with nothing said", "close", run(1, files={"a.cc": "1"}), ["silent"]),
    ("killed by a signal", "malloc", run(-6, "terminate called"), ["crash"]),
    ("a status above 4", "malloc", run(5, "x"), ["crash"]),
    ("an internal error", "malloc", run(4, "internal compiler error: x"), []),
    ("a hang", "wait4", run(None), ["hang"]),
    ("a temporary left", "malloc", run(1, "out of memory", leaked=["ccA.s"]), ["leak"]),
    ("the user's source removed", "unlink", run(1, "x", files={}), ["lost"]),
    ("the user's source changed", "open", run(1, "x", files={"a.cc": "9"}), ["lost"]),
    ("a child without VORN_EXEC_PREFIX", "putenv",
     run(records=[LINK.rsplit("\n", 1)[0]]), ["wrong-success"]),
    ("an output not made", "read", run(files={"a.cc": "1"}), ["wrong-success"]),
    # A failed stat or access: a search passing over what it could not see.
    ("a library directory passed over", "stat",
     run(records=[LINK.replace(" -L/usr/local/lib", "")
                  .replace("ldwrap: arg2=-L/usr/local/lib\n", "")]), []),
    ("ld after ldwrap", "access", run(records=[LINK.replace("ldwrap", "ld")]), []),
    ("no lto-runner found", "access",
     run(records=[LINK.replace("ldwrap: env COLLECT_LTO_RUNNER=%slto-runner\n" % STAGE, "")]),
     []),
    ("an option lost after a failed stat", "stat",
     run(records=[LINK.replace("-plugin ", "")]), ["wrong-success"]),
    ("another file made after a failed stat", "stat",
     run(files={"a.cc": "1", "a.out": "2"}), ["wrong-success"]),
    ("a directory passed over, after any other call", "malloc",
     run(records=[LINK.replace(" -L/usr/local/lib", "")]), ["wrong-success"]),
]


def main():
    failures = 0
    for what, family, observed, wanted in CASES:
        got = fault_outcome.classify(observed, BASELINE, family)
        if got != wanted:
            print("%s (%s): got %s, wanted %s" % (what, family, got, wanted))
            failures += 1
    # Temporaries' random parts and the run's directory are made alike.
    text = "as: arg1=/r/p01/tmp/ccAb12Cd.s accelerate /tmp//cc123456 ccache"
    normal = fault_outcome._normalise(text, "/r/p01")
    if normal != "as: arg1=TEMP1.s accelerate TEMP2 ccache":
        print("normalised: %r" % normal)
        failures += 1
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
