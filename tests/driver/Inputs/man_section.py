#!/usr/bin/env python3
"""Prints one section of a manual page as a reader sees it, one paragraph a
line, so that a test can hold the page to what it says.

usage: man_section.py PAGE SECTION [SUBSECTION]

The page is rendered by groff as plain text with lines long enough that no
paragraph wraps; every line is stripped of its indentation.  SECTION is a
heading such as "EXIT STATUS"; SUBSECTION (such as "Queries") narrows the
output to that subsection.
"""
import re
import subprocess
import sys


def rendered(page):
    text = subprocess.run(['groff', '-man', '-Tascii', '-rLL=2000n', '-rHY=0', '-dAD=l', '-P-c',
                           page], capture_output=True, text=True, check=True).stdout
    # Bold and underlined characters are overstruck: keep the character.
    return re.sub(r'.\x08', '', text)


def is_heading(line):
    return bool(line.strip()) and not line.startswith(' ')


def is_subheading(line):
    return line.startswith('   ') and not line.startswith('    ')


def section(lines, heading, subheading=None):
    """The lines under HEADING (and SUBHEADING) up to the next heading of
    the same level."""
    found, inside = [], False
    for line in lines:
        if is_heading(line) or (subheading and inside is not None and is_subheading(line)):
            if is_heading(line):
                if inside and not subheading:
                    break
                inside = line.strip() == heading and (None if subheading else True)
                continue
            if inside:
                break
            continue
        if inside is None and is_subheading(line):
            inside = line.strip() == subheading or None
            continue
        if inside and line.strip():
            found.append(line.strip())
    return found


def main():
    page, heading, *sub = sys.argv[1:]
    lines = section(rendered(page).splitlines(), heading, sub[0] if sub else None)
    if not lines:
        print(f'{page} has no section {" / ".join([heading] + sub)}', file=sys.stderr)
        return 1
    print('\n'.join(lines))
    return 0


if __name__ == '__main__':
    sys.exit(main())
