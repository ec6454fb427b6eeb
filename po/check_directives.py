#!/usr/bin/env python3
"""Checks that every translation keeps the format directives of its text.

msgfmt --check verifies the printf-style texts, but most messages use the
diagnostic format language ("%qs", "%<", "%>", "%m"), which it does not
know.  The directives fill their arguments in order, so a translation must
carry the same directives in the same order; this fails listing every entry
where it does not.

usage: check_directives.py FILE.po...
"""
import ast
import re
import sys

# Flags, width and precision, the length and quote modifiers, then the
# conversion ("%<" and "%>" open and close quotes, "%%" is a percent sign).
DIRECTIVE = re.compile(r'%[-+ #0]*(?:\d+|\*)?(?:\.(?:\d+|\*))?[qlwhz]*[A-Za-z<>%]')


def entries(path):
    """Yields (line, msgid, [msgid_plural], [msgstr...]) of every entry."""
    entry, field, line_of_entry = {}, None, 0
    with open(path, encoding='utf-8') as po:
        lines = list(po) + ['\n']
    for number, line in enumerate(lines, 1):
        line = line.strip()
        if not line or line.startswith('#'):
            # Comments and blank lines separate entries; obsolete ones ("#~")
            # are comments too.
            if 'msgid' in entry:
                yield line_of_entry, entry
            entry, field = {}, None
            continue
        keyword, _, rest = line.partition(' ')
        if line.startswith('"'):
            entry[field] += ast.literal_eval(line)
            continue
        if keyword == 'msgid':
            line_of_entry = number
        field = keyword
        entry[field] = ast.literal_eval(rest)


def main():
    faults = []
    for path in sys.argv[1:]:
        for line, entry in entries(path):
            if not entry['msgid']:
                continue
            sources = [entry['msgid'], entry.get('msgid_plural', entry['msgid'])]
            for field, text in entry.items():
                if not field.startswith('msgstr') or not text:
                    continue
                source = sources[1] if field not in ('msgstr', 'msgstr[0]') else sources[0]
                if DIRECTIVE.findall(source) != DIRECTIVE.findall(text):
                    faults.append(f'{path}:{line}: {field} does not keep the directives '
                                  f'{DIRECTIVE.findall(source)} of {source!r}')
    for fault in faults:
        print(fault, file=sys.stderr)
    return 1 if faults else 0


if __name__ == '__main__':
    sys.exit(main())
