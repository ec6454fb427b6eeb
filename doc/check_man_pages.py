#!/usr/bin/env python3
"""Checks the manual pages: each renders without a single warning and runs
no words together, and every option that vorn-cxx(1) names is a row of the
option table, so the page cannot drift from what the driver accepts.

usage: check_man_pages.py GROFF OPTIONS_DEF DRIVER_PAGE OTHER_PAGE...
"""
import re
import subprocess
import sys

# Macros whose arguments alternate between fonts; the value says which
# positions are bold.
ALTERNATING = {'B': 'all', 'BI': 'even', 'BR': 'even', 'IB': 'odd', 'RB': 'odd'}


def render_warnings(groff, page):
    """Everything groff says about PAGE with all warnings on."""
    result = subprocess.run([groff, '-man', '-ww', '-z', page], capture_output=True, text=True)
    report = result.stderr.strip()
    if result.returncode != 0 and not report:
        report = f'groff exited with status {result.returncode}'
    return report


def macro_arguments(text):
    return [a[1:-1] if a.startswith('"') else a for a in re.findall(r'"[^"]*"|\S+', text)]


def joined_words(page):
    """Alternating-font macro lines whose arguments put two words side by
    side: the macro prints its arguments without blanks between them, so
    ".IR name , so that" reads "name,sothat".  An option with its joined
    argument (".BI \\-B prefix") and a one- or two-letter ending (".IR arg s")
    are written that way on purpose."""
    faults = []
    with open(page, encoding='utf-8') as source:
        for number, line in enumerate(source, 1):
            macro = re.match(r'\.(BI|BR|IB|IR|RB|RI)\s+(.*)', line)
            if not macro:
                continue
            arguments = macro_arguments(macro.group(2))
            for left, right in zip(arguments, arguments[1:]):
                if (left[-1:].isalpha() and right[:1].isalpha() and
                        not left.lstrip('\\').startswith('-') and
                        len(right.rstrip('.,;:')) > 2):
                    faults.append(f'{page}:{number}: "{left}" and "{right}" run together')
                    break
    return faults


def bold_runs(line):
    """The bold texts of one source line: macro arguments and \\fB runs."""
    runs = re.findall(r'\\fB(.*?)(?=\\f|$)', line)
    macro = re.match(r'\.(B|BI|BR|IB|RB)\s+(.*)', line)
    if macro:
        which = ALTERNATING[macro.group(1)]
        for position, argument in enumerate(macro_arguments(macro.group(2))):
            if which == 'all' or (position % 2 == 0) == (which == 'even'):
                runs.append(argument)
    return runs


def named_options(page):
    """Every option spelled in bold on the page, with its source line."""
    options = []
    with open(page, encoding='utf-8') as source:
        for number, line in enumerate(source, 1):
            for run in bold_runs(line.rstrip('\n')):
                for word in run.replace('\\-', '-').replace('\\e', '\\').split():
                    word = re.sub(r'\\f.|\\&', '', word).rstrip('.;:)')
                    if word.startswith('-') and len(word) > 1:
                        options.append((number, word))
    return options


def table_rows(options_def):
    with open(options_def, encoding='utf-8') as source:
        return {m.group(1) for m in (re.match(r'"(-[^"]*)"', line) for line in source) if m}


def is_row(option, rows):
    """An option is written as its row ("-Wl," keeps its comma; a comma after
    any other option is punctuation), or as a joined-argument row followed by
    an example argument ("-mcpu=native", "-save-temps=obj")."""
    if option in rows:
        return True
    option = option.rstrip(',')
    if option in rows:
        return True
    name, equals, _ = option.partition('=')
    return bool(equals) and name + '=' in rows


def main():
    groff, options_def, driver_page, *other_pages = sys.argv[1:]
    faults = []
    for page in [driver_page] + other_pages:
        report = render_warnings(groff, page)
        if report:
            faults.append(f'{page} does not render cleanly:\n{report}')
        faults += joined_words(page)
    rows = table_rows(options_def)
    named = named_options(driver_page)
    if not named:
        faults.append(f'{driver_page} names no options at all')
    for number, option in named:
        if not is_row(option, rows):
            faults.append(f'{driver_page}:{number}: {option} is not a row of the option table')
    for fault in faults:
        print(fault, file=sys.stderr)
    return 1 if faults else 0


if __name__ == '__main__':
    sys.exit(main())
