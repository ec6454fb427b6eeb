#!/usr/bin/env python3
"""Runs every example of a manual page's EXAMPLES section against the staged
programs and checks that each command succeeds and prints what the page
shows.

An example is an .EX/.EE block: a line "$ COMMAND" is run with sh, the lines
after it up to the next command are what it must print (blanks between words
do not count; "/opt/vorn", where the page installs Vorn, stands for the
staged tree).  "$ cat FILE" followed by lines shows a file: the file is
written with those lines.  Input files a command names that do not exist are
written as small C++ sources.  All examples of a page run one after another
in one directory.

usage: man_examples.py PAGE STAGE_DIR WORK_DIR
"""
import os
import re
import subprocess
import sys

PAGE_PREFIX = '/opt/vorn'
SOURCE = re.compile(r'^[\w.-]+\.cc$')


def unescape(line):
    return (line.replace('\\-', '-').replace('\\(dq', '"').replace('\\e', '\\')
            .replace('\\&', ''))


def examples(page):
    with open(page, encoding='utf-8') as source:
        text = source.read()
    section = text.split('\n.SH EXAMPLES\n', 1)[1].split('\n.SH ', 1)[0]
    for block in re.findall(r'^\.EX\n(.*?)^\.EE$', section, re.M | re.S):
        steps = []
        for line in block.splitlines():
            line = unescape(line)
            if line.startswith('$ '):
                steps.append((line[2:], []))
            elif steps:
                steps[-1][1].append(line)
        yield steps


def main():
    page, stage, work = sys.argv[1:]
    os.makedirs(work, exist_ok=True)
    env = dict(os.environ, PATH=os.path.join(stage, 'bin') + ':/usr/bin:/bin', TMPDIR='/tmp')
    count, faults = 0, []
    for steps in examples(page):
        for command, shown in steps:
            count += 1
            words = command.split()
            if words[0] == 'cat' and len(words) == 2:
                with open(os.path.join(work, words[1]), 'w') as out:
                    out.write('\n'.join(shown) + '\n')
                continue
            for word in words[1:]:
                path = os.path.join(work, word)
                if SOURCE.match(word) and not os.path.exists(path):
                    with open(path, 'w') as out:
                        out.write('int main() { return 0; }\n')
            result = subprocess.run(['sh', '-c', command], cwd=work, env=env,
                                    capture_output=True, text=True)
            printed = result.stdout.replace(stage, PAGE_PREFIX).split()
            wanted = ' '.join(shown).split()
            if result.returncode != 0:
                faults.append(f'"{command}" exited {result.returncode}: {result.stderr}')
            elif shown and printed != wanted:
                faults.append(f'"{command}" printed {printed}, the page shows {wanted}')
    for fault in faults:
        print(fault)
    print(f'{count} example commands run, {len(faults)} faults')
    return 0


if __name__ == '__main__':
    sys.exit(main())
