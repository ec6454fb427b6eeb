#!/usr/bin/env python3
"""Lists the tests that the last ctest run in BUILD_DIR skipped, each with
the reason it gave.  ctest's own lines say only "Skipped"; the reason is in
the test's output, which ctest keeps in Testing/Temporary/LastTest.log.

usage: skipped_tests.py BUILD_DIR
"""
import os
import re
import sys


def skipped_tests(log_text):
    """(name, reason) for every test whose skip expression matched."""
    found = []
    for block in log_text.split('\n----------------------------------------------------------\n\n'):
        name = re.search(r'^\d+/\d+ Test: (.*)$', block, re.M)
        if not name or 'Skip regular expression found in output' not in block:
            continue
        output = block.split('Output:\n', 1)[-1].split('<end of output>', 1)[0]
        found.append((name.group(1), skip_reason(output)))
    return found


def skip_reason(output):
    """GoogleTest prints "FILE:LINE: Skipped" and the reason below it; any
    other test's last line of output is taken as its reason."""
    lines = [line for line in output.splitlines()
             if line.strip() and not line.startswith('-----')]
    for index, line in enumerate(lines):
        if line.endswith(': Skipped'):
            reason = []
            for follower in lines[index + 1:]:
                if follower.startswith('['):
                    break
                reason.append(follower.strip())
            return ' '.join(reason) or 'no reason given'
    return lines[-1].strip() if lines else 'no reason given'


def main():
    if len(sys.argv) != 2:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    log = os.path.join(sys.argv[1], 'Testing', 'Temporary', 'LastTest.log')
    try:
        with open(log, encoding='utf-8', errors='replace') as source:
            found = skipped_tests(source.read())
    except OSError:
        return 0
    if found:
        print('Skipped tests and why:')
        for name, reason in found:
            print(f'  {name}: {reason}')
    return 0


if __name__ == '__main__':
    sys.exit(main())
