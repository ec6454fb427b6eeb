#!/usr/bin/env python3
"""Checks that an installation is whole or does not happen: building the
demo (what the README has a user do before `cmake --install`) builds every
file the installation copies; the installation checks those files before
it copies anything; and that check fails, naming the file, when one is
missing.

usage: check_install.py CMAKE NINJA BUILD_DIR SOURCE_DIR SCRATCH
"""
import os
import re
import shutil
import subprocess
import sys

faults = []


def expect(condition, message):
    if not condition:
        faults.append(message)


def built_files(build):
    with open(os.path.join(build, 'installed-built-files.txt')) as listing:
        return [line.strip() for line in listing if line.strip()]


def check_demo_builds_them(ninja, build, files):
    """Each file is written by one of the commands that building the demo
    runs (ninja lists them all, built or not)."""
    commands = subprocess.run([ninja, '-C', build, '-t', 'commands', 'demo'], capture_output=True,
                              text=True, check=True).stdout
    words = set()
    for word in commands.split():
        words.add(os.path.normpath(os.path.join(build, word.strip('"'))))
    for name in files:
        expect(os.path.normpath(name) in words, f'building the demo does not build {name}')
    expect(len(files) >= 12, f'only {len(files)} built files are installed: {files}')


def check_order(build):
    with open(os.path.join(build, 'cmake_install.cmake')) as script:
        text = script.read()
    check = text.find('VornInstallCheck.cmake')
    first_copy = text.find('file(INSTALL')
    expect(0 <= check < first_copy, 'the install script copies before it checks')


def check_refusal(cmake, source, scratch, files):
    os.makedirs(scratch)
    checker = os.path.join(source, 'cmake', 'VornInstallCheck.cmake')
    listing = os.path.join(scratch, 'list.txt')
    missing = os.path.join(scratch, 'not-built.gz')
    with open(listing, 'w') as out:
        out.write('\n'.join(files[:2] + [missing] + files[2:]) + '\n')
    run = subprocess.run([cmake, f'-DVORN_BUILT_FILES_LIST={listing}', '-P', checker],
                         capture_output=True, text=True)
    said = ' '.join(run.stderr.split())
    expect(run.returncode != 0 and f'{missing} has not been built' in said and
           'nothing was installed' in said,
           f'a missing file: status {run.returncode}, said {run.stderr!r}')
    with open(listing, 'w') as out:
        out.write('\n'.join(files) + '\n')
    run = subprocess.run([cmake, f'-DVORN_BUILT_FILES_LIST={listing}', '-P', checker],
                         capture_output=True, text=True)
    expect(run.returncode == 0 and not run.stderr, f'all built: {run.returncode} {run.stderr!r}')


def main():
    cmake, ninja, build, source, scratch = sys.argv[1:]
    shutil.rmtree(scratch, ignore_errors=True)
    files = built_files(build)
    check_demo_builds_them(ninja, build, files)
    check_order(build)
    check_refusal(cmake, source, scratch, files)
    for fault in faults:
        print(fault, file=sys.stderr)
    print(f'{len(files)} built files, {len(faults)} faults')
    return 1 if faults else 0


if __name__ == '__main__':
    sys.exit(main())
