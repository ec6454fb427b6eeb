#!/usr/bin/env python3
"""Runs the worked examples of the specs-file guide and checks that the
driver builds exactly the command lines the guide shows.

An example is a "### Example" section holding blocks fenced as
"specs file=NAME" (written to NAME), "console" (commands, each after "$ ")
and "commands" (what the commands print, filtered and normalised below).
Every example runs in its own directory; input files its commands name are
created empty.  A specs block named like a file of examples/toolchains/ must
be that file, word for word.

usage: guide_examples.py DRIVER STAGE_DIR GUIDE WORK_DIR
"""
import os
import re
import shlex
import subprocess
import sys

FENCE = re.compile(r'^```(\S*)(?: file=(\S+))?\n(.*?)^```$', re.M | re.S)
# -### also prints the configuration report and the exported variables; the
# guide leaves them out.
NOISE = re.compile(r'^(COLLECT_\w+=|COMPILER_PATH=|LIBRARY_PATH=|Target: |Configured with: |'
                   r'Thread model: |Supported LTO |vorn version |Using built-in specs\.)')
TEMPORARY = re.compile(r'/tmp/+cc[A-Za-z0-9]{6}')
INPUT = re.compile(r'^[\w./-]+\.(cc|c|foo|o|s)$')
# The guide describes an installation in /opt/vorn.
GUIDE_PREFIX = '/opt/vorn'


def examples(guide):
    sections = re.split(r'^### (Example \d+: .*)$', guide, flags=re.M)
    for title, body in zip(sections[1::2], sections[2::2]):
        blocks = FENCE.findall(body)
        yield title, blocks


def pattern(expected_line):
    """A shown line matches as a whole; "..." stands for any text."""
    return re.compile('.*'.join(re.escape(part) for part in expected_line.split('...')) + r'\Z')


def run_commands(driver, stage, directory, console):
    lines, statuses = [], []
    for command in console:
        words = shlex.split(command)
        assert words[0] == 'vorn-cxx', command
        for word in words[1:]:
            path = os.path.join(directory, word)
            if INPUT.match(word) and not os.path.exists(path):
                open(path, 'w').close()
        result = subprocess.run([driver] + words[1:], cwd=directory, capture_output=True,
                                text=True, env=dict(os.environ, TMPDIR='/tmp'))
        statuses.append(result.returncode)
        for line in (result.stdout + result.stderr).splitlines():
            if not NOISE.match(line):
                line = TEMPORARY.sub('/tmp/ccXXXXXX', line.replace(stage, GUIDE_PREFIX))
                lines.append(line)
    return lines, statuses


def check_example(driver, stage, work, number, title, blocks, shipped):
    directory = os.path.join(work, f'example{number}')
    os.makedirs(directory)
    console, expected, faults = [], [], []
    for kind, name, text in blocks:
        if kind == 'specs':
            # A file the sources ship is shown as it is.
            if name in shipped and shipped[name] != text:
                faults.append(f'{title}: {name} differs from the file in examples/toolchains/')
            path = os.path.join(directory, name)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, 'w') as specs:
                specs.write(text)
        elif kind == 'console':
            console += [line[2:] for line in text.splitlines() if line.startswith('$ ')]
        elif kind == 'commands':
            expected += text.splitlines()
    if not console or not expected:
        return [f'{title}: no command or no expected output']
    actual, statuses = run_commands(driver, stage, directory, console)
    wanted_status = 1 if any(': error: ' in line for line in expected) else 0
    if any(status != wanted_status for status in statuses):
        faults.append(f'{title}: exit statuses {statuses}, expected {wanted_status}')
    if len(actual) != len(expected) or not all(
            pattern(want).match(got) for want, got in zip(expected, actual)):
        faults.append(f'{title}: the driver printed\n  ' + '\n  '.join(actual) +
                      '\nbut the guide shows\n  ' + '\n  '.join(expected))
    return faults


def main():
    driver, stage, guide_path, work = sys.argv[1:]
    with open(guide_path, encoding='utf-8') as guide:
        found = list(examples(guide.read()))
    faults = [] if len(found) >= 8 else [f'the guide has {len(found)} examples, not 8 or more']
    toolchains = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(guide_path))),
                              'examples', 'toolchains')
    shipped = {}
    for name in os.listdir(toolchains):
        with open(os.path.join(toolchains, name), encoding='utf-8') as specs:
            shipped[name] = specs.read()
    for number, (title, blocks) in enumerate(found, 1):
        faults += check_example(driver, os.path.realpath(stage), work, number, title, blocks,
                                shipped)
    for fault in faults:
        print(fault, file=sys.stderr)
    print(f'{len(found)} examples run, {len(faults)} faults')
    return 1 if faults else 0


if __name__ == '__main__':
    sys.exit(main())
