#!/usr/bin/env python3
"""Collects the message texts that live in tables rather than in _() calls.

xgettext finds every text marked in the C++ sources, but two kinds of
user-visible text are data the driver translates when it uses them:

  * the missing-argument messages (M lines) and the per-use warnings (W "...")
    of the option definitions, options/options.def;
  * the error and note texts of the built-in specs ("%e..." and "%n..."),
    which the spec interpreter looks up in the catalogue before reporting.

This writes them as catalogue entries (no header) so that they can be joined
with xgettext's output into vorn.pot.

usage: table_messages.py OUTPUT OPTIONS_DEF SPEC_SOURCE...
"""
import re
import sys

# Spec sources hold their texts as C string literals, one spec spread over
# several adjacent literals.
LITERAL = re.compile(r'"((?:[^"\\]|\\.)*)"')
# "%e" and "%n" texts run to the end of their line or of their group body.
SPEC_MESSAGE = re.compile(r'%[en]([^}\n]*)')


def unescape_c(text):
    return text.replace('\\n', '\n').replace('\\"', '"').replace('\\\\', '\\')


def po_quote(text):
    return '"' + text.replace('\\', '\\\\').replace('"', '\\"').replace('\n', '\\n') + '"'


def option_messages(path, add):
    with open(path, encoding='utf-8') as source:
        for number, line in enumerate(source, 1):
            if line.startswith('#'):
                continue
            missing = re.match(r'M\d+ "((?:[^"\\]|\\.)*)"', line)
            if missing:
                add(missing.group(1), f'{path}:{number}', 'no-c-format')
            for warning in re.finditer(r'\bW "((?:[^"\\]|\\.)*)"', line):
                add(warning.group(1), f'{path}:{number}', 'no-c-format')


def spec_messages(path, add):
    with open(path, encoding='utf-8') as source:
        lines = source.read().split('\n')
    # Adjacent literals are joined, remembering where each spec began.
    joined, start = '', None
    for number, line in enumerate(lines, 1):
        pieces = LITERAL.findall(line) if not line.lstrip().startswith('//') else []
        if pieces:
            if start is None:
                start = number
            joined += ''.join(unescape_c(piece) for piece in pieces)
        if not pieces or line.rstrip().endswith(';'):
            if joined:
                for message in SPEC_MESSAGE.finditer(joined):
                    text = message.group(1).rstrip(' ')
                    if text:
                        add(text, f'{path}:{start}', None)
            joined, start = '', None


def main():
    output, options_def, spec_sources = sys.argv[1], sys.argv[2], sys.argv[3:]
    entries = {}
    order = []

    def add(text, reference, flag):
        if text not in entries:
            entries[text] = ([], flag)
            order.append(text)
        entries[text][0].append(reference)

    option_messages(options_def, add)
    for path in spec_sources:
        spec_messages(path, add)
    with open(output, 'w', encoding='utf-8') as out:
        for text in order:
            references, flag = entries[text]
            out.write('#: ' + ' '.join(references) + '\n')
            if flag:
                out.write(f'#, {flag}\n')
            out.write(f'msgid {po_quote(text)}\nmsgstr ""\n\n')


if __name__ == '__main__':
    main()
