#!/usr/bin/env python3
"""Lists the tests that the last ctest run in BUILD_DIR skipped, each with
the reason it gave.  ctest's own lines say only "Skipped"; the reason is in
the test's output, which ctest keeps in Testing/Temporary/LastTest.log.
Scenario tests that lit reports unsupported (a tool they need is missing)
pass in ctest's eyes; they are listed too, with the features they require.

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


def unsupported_scenarios(log_text, source_dir):
    """(name, reason) for every scenario test lit did not run."""
    found = []
    for name in re.findall(r'^UNSUPPORTED: \S+ :: (\S+) \(', log_text, re.M):
        reason = 'unsupported here'
        try:
            with open(os.path.join(source_dir, 'tests', 'driver', name), encoding='utf-8') as test:
                needs = re.findall(r'REQUIRES:\s*(.+)', test.read())
            if needs:
                reason = 'needs ' + ', '.join(n.strip() for n in needs)
        except OSError:
            pass
        found.append((f'scenario {name}', reason))
    return found


def source_directory(build_dir):
    try:
        with open(os.path.join(build_dir, 'CMakeCache.txt'), encoding='utf-8') as cache:
            match = re.search(r'^CMAKE_HOME_DIRECTORY:INTERNAL=(.*)$', cache.read(), re.M)
            return match.group(1) if match else ''
    except OSError:
        return ''


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
            text = source.read()
        found = skipped_tests(text) + unsupported_scenarios(text, source_directory(sys.argv[1]))
    except OSError:
        return 0
    if found:
        print('Skipped tests and why:')
        for name, reason in found:
            print(f'  {name}: {reason}')
    return 0


if __name__ == '__main__':
    sys.exit(main())
