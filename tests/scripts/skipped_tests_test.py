#!/usr/bin/env python3
"""scripts/skipped_tests.py on a ctest log of its own making: a GoogleTest
case skipped with a reason, one skipped without, a scenario test lit did not
run for want of a tool, and a passing test, which is not listed."""
import os
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
RULE = '-' * 58


def block(number, name, output, verdict):
    return (f'{number}/4 Testing: {name}\n{number}/4 Test: {name}\nCommand: "x"\n'
            f'Output:\n{RULE}\n{output}\n<end of output>\nTest time =   0.01 sec\n{RULE}\n'
            f'{verdict}\n"{name}" end time: Dec 10 04:25 UTC\n{RULE}\n\n')


SKIPPED = 'Test Pass Reason:\nSkip regular expression found in output. Regex=[\\[  SKIPPED \\]]'
LOG = (f'Start testing: Dec 10 04:25 UTC\n{RULE}\n'
       + block(1, 'Dumps.Unreadable', '[ RUN      ] Dumps.Unreadable\nx.cc:71: Skipped\n'
               'root reads every file\n\n[  SKIPPED ] Dumps.Unreadable (0 ms)', SKIPPED)
       + block(2, 'Dumps.Quiet', '[ RUN      ] Dumps.Quiet\nx.cc:80: Skipped\n\n'
               '[  SKIPPED ] Dumps.Quiet (0 ms)', SKIPPED)
       + block(3, 'driver-scenarios', 'UNSUPPORTED: Vorn :: build-tools-bear.test (1 of 2)\n'
               'PASS: Vorn :: doc-examples.test (2 of 2)', 'Test Passed.')
       + block(4, 'Dumps.Readable', '[       OK ] Dumps.Readable (0 ms)', 'Test Passed.')
       + 'End testing: Dec 10 04:25 UTC\n')
WANTED = ('Skipped tests and why:\n'
          '  Dumps.Unreadable: root reads every file\n'
          '  Dumps.Quiet: no reason given\n'
          '  scenario build-tools-bear.test: needs make, bear\n')

with tempfile.TemporaryDirectory() as build:
    os.makedirs(os.path.join(build, 'Testing', 'Temporary'))
    with open(os.path.join(build, 'Testing', 'Temporary', 'LastTest.log'), 'w') as log:
        log.write(LOG)
    with open(os.path.join(build, 'CMakeCache.txt'), 'w') as cache:
        cache.write(f'CMAKE_HOME_DIRECTORY:INTERNAL={ROOT}\n')
    listed = subprocess.run([sys.executable, os.path.join(ROOT, 'scripts', 'skipped_tests.py'),
                             build], capture_output=True, text=True)
if listed.stdout != WANTED or listed.returncode != 0:
    print(f'got (status {listed.returncode}):\n{listed.stdout}{listed.stderr}wanted:\n{WANTED}')
    sys.exit(1)
