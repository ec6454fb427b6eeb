#!/usr/bin/env python3
"""Holds the option reference vorn-options(7) to the option table: every row
of options.def that is not marked undocumented (u) has exactly one entry,
and no undocumented row has one.  An entry is a heading line of the rendered
page, in the sections of options, that starts in bold; its option is that
bold text.

usage: option_reference.py OPTIONS_DEF PAGE
"""
import collections
import gzip
import re
import shlex
import subprocess
import sys

ROW = re.compile(r'^("(?:[^"\\]|\\.)*")(.*)$')


def table_rows(options_def):
    """(text, undocumented) for every row, read independently of the
    generator's own reader."""
    rows = []
    with open(options_def, encoding='utf-8') as source:
        for line in source:
            match = ROW.match(line)
            if not match:
                continue
            text = shlex.split(match.group(1))[0]
            words = shlex.split(match.group(2), comments=True)
            markers = words[:words.index('->')] if '->' in words else words
            rows.append((text, 'u' in markers))
    return rows


def headings(page):
    """The bold text each entry heading starts with, from the page rendered
    with overstriking (a bold character is "c\\bc")."""
    opener = gzip.open if page.endswith('.gz') else open
    with opener(page, 'rt', encoding='utf-8') as source:
        roff = source.read()
    text = subprocess.run(['groff', '-man', '-Tascii', '-rLL=2000n', '-P-c'], input=roff,
                          capture_output=True, text=True, check=True).stdout
    found, section = [], None
    for line in text.splitlines():
        if line[:1].isalpha():
            section = re.sub(r'.\x08', '', line).strip()
        if section in (None, 'NAME', 'DESCRIPTION', 'SEE ALSO'):
            continue
        if not line.startswith(' ' * 7) or line.startswith(' ' * 8):
            continue
        bold = re.match(r'((.)\x08\2)+', line[7:])
        if bold:
            found.append(re.sub(r'.\x08', '', bold.group(0)))
    return found


def main():
    options_def, page = sys.argv[1:]
    rows = table_rows(options_def)
    entries = collections.Counter(headings(page))
    faults = []
    for text, undocumented in rows:
        if undocumented and entries[text]:
            faults.append(f'{text}: undocumented, but has {entries[text]} entries')
        elif not undocumented and entries[text] != 1:
            faults.append(f'{text}: {entries[text]} entries instead of one')
    known = {text for text, _ in rows}
    faults += [f'{text}: an entry for no row' for text in entries if text not in known]
    for fault in faults:
        print(fault, file=sys.stderr)
    documented = sum(1 for _, undocumented in rows if not undocumented)
    print(f'{documented} documented rows, {len(rows) - documented} undocumented, '
          f'{len(faults)} faults')
    return 1 if faults else 0


if __name__ == '__main__':
    sys.exit(main())
