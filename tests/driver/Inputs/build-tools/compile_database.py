#!/usr/bin/env python3
"""Prints a compilation database one entry a line, sorted by file:
"FILE OUTPUT DIRECTORY: ARGUMENTS", every path as written in the database.

usage: compile_database.py compile_commands.json
"""
import json
import sys

with open(sys.argv[1], encoding='utf-8') as source:
    entries = json.load(source)
for entry in sorted(entries, key=lambda e: e['file']):
    print(f"{entry['file']} {entry.get('output', '-')} {entry['directory']}: "
          f"{' '.join(entry['arguments'])}")
