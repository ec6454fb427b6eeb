#!/usr/bin/env python3
"""Builds the .tar.gz and .deb packages of this build, unpacks each into a
scratch directory and checks them: exactly the product's files, the control
fields of the .deb, and the unpacked programs running from where they were
unpacked (the tree is relocatable).

usage: check_packages.py CPACK BUILD_DIR STAGE_DIR SCRATCH MACHINE VERSION PREFIX MAINTAINER
"""
import os
import shutil
import subprocess
import sys

# Every file and link a package holds, relative to its installation root.
CONTENTS = {
    'bin/vorn-cxx', 'bin/vorn-ar', 'bin/vorn-nm', 'bin/vorn-ranlib',
    'share/man/man1/vorn-cxx.1', 'share/man/man1/vorn-ar.1',
    'share/man/man1/vorn-nm.1 -> vorn-ar.1', 'share/man/man1/vorn-ranlib.1 -> vorn-ar.1',
    'share/bash-completion/completions/vorn-cxx',
    'share/locale/de/LC_MESSAGES/vorn.mo',
}
CLEAN_ENV = {'PATH': '/usr/bin:/bin', 'LC_ALL': 'C'}

faults = []


def expect(condition, message):
    if not condition:
        faults.append(message)


def run(command, **options):
    return subprocess.run(command, capture_output=True, text=True, **options)


def tree_entries(top):
    """Files and links under TOP, relative to it; links with their target."""
    entries = set()
    for directory, _, files in os.walk(top):
        for name in files:
            path = os.path.join(directory, name)
            entry = os.path.relpath(path, top)
            if os.path.islink(path):
                entry += ' -> ' + os.readlink(path)
            entries.add(entry)
    return entries


def check_contents(kind, unpacked, root):
    entries = {os.path.relpath(os.path.join(unpacked, e), root) for e in tree_entries(unpacked)}
    expect(entries == CONTENTS,
           f'{kind}: unexpected contents\n  extra: {sorted(entries - CONTENTS)}\n'
           f'  missing: {sorted(CONTENTS - entries)}')


def check_driver(kind, root, machine, version):
    driver = os.path.join(root, 'bin', 'vorn-cxx')
    banner = run([driver, '--version'], env=CLEAN_ENV)
    expect(banner.returncode == 0 and
           banner.stdout.splitlines()[:1] == [f'vorn-cxx (Vorn) {version}'],
           f'{kind}: vorn-cxx --version printed {banner.stdout!r} {banner.stderr!r}')
    dirs = run([driver, '-print-search-dirs'], env=CLEAN_ENV)
    exec_prefix = f'{root}/bin/../lib/vorn/'
    libexec = f'{root}/bin/../libexec/vorn/'
    tools = f'{exec_prefix}{machine}/{version}/../../../../{machine}/bin/'
    wanted = [f'install: {exec_prefix}',
              f'programs: ={libexec}{machine}/{version}/:{libexec}:'
              f'{tools}{machine}/{version}/:{tools}']
    lines = dirs.stdout.splitlines()
    expect(dirs.returncode == 0 and lines[:2] == wanted and len(lines) == 3 and
           lines[2].startswith(f'libraries: ={exec_prefix}{machine}/{version}/:{exec_prefix}:'),
           f'{kind}: vorn-cxx -print-search-dirs printed\n{dirs.stdout}instead of\n' +
           '\n'.join(wanted))


def check_archiver(kind, root, stage, machine, version, scratch):
    archiver = os.path.join(root, 'bin', 'vorn-ar')
    # The package brings no archive tools: without them the wrapper says so.
    bare = run([archiver, '--version'], env=CLEAN_ENV)
    expect(bare.returncode == 1 and 'Cannot find plugin' in bare.stderr,
           f'{kind}: vorn-ar without a toolchain: {bare.returncode} {bare.stderr!r}')
    # Put the stand-in ar and plug-in where an integrator puts the real ones.
    # The tool directory is reached through the executable prefix
    # (lib/vorn/MACHINE/VERSION/../../../../MACHINE/bin), which holds the
    # start files in a real installation.
    plugin_dir = os.path.join(root, 'libexec', 'vorn', machine, version)
    tool_dir = os.path.join(root, machine, 'bin')
    for directory in (plugin_dir, tool_dir, os.path.join(root, 'lib', 'vorn', machine, version)):
        os.makedirs(directory)
    stage_libexec = os.path.join(stage, 'libexec', 'vorn', machine, version)
    shutil.copy2(os.path.join(stage_libexec, 'libltolink.so'), plugin_dir)
    shutil.copy2(os.path.join(stage, machine, 'bin', 'ar'), tool_dir)
    log = os.path.join(scratch, f'{kind}.log')
    # An empty PATH: the wrapper must find the tool in the tree, not elsewhere.
    empty = os.path.join(scratch, 'empty-path')
    os.makedirs(empty, exist_ok=True)
    result = run([archiver, '--version'], env=dict(CLEAN_ENV, PATH=empty, STANDIN_LOG=log))
    record = open(log).read().splitlines() if os.path.exists(log) else []
    plugin = f'{root}/bin/../libexec/vorn/{machine}/{version}/libltolink.so'
    expect(result.returncode == 0 and f'ar: run --plugin {plugin} --version' in record,
           f'{kind}: vorn-ar --version exited {result.returncode}, ran {record[:1]}')


def check_control(deb, version, maintainer):
    fields = run(['dpkg-deb', '-f', deb]).stdout
    values = dict(line.split(': ', 1) for line in fields.splitlines() if ': ' in line
                  and not line.startswith(' '))
    expect(values.get('Package') == 'vorn', f'deb: Package is {values.get("Package")!r}')
    expect(values.get('Version') == version, f'deb: Version is {values.get("Version")!r}')
    expect(values.get('Maintainer') == maintainer,
           f'deb: Maintainer is {values.get("Maintainer")!r}')
    expect(values.get('Description', '').startswith('C++ compiler driver'),
           f'deb: Description is {values.get("Description")!r}')
    expect('libc6 (' in values.get('Depends', ''),
           f'deb: Depends is {values.get("Depends")!r}, not computed from the programs')


def main():
    cpack, build, stage, scratch, machine, version, prefix, maintainer = sys.argv[1:]
    shutil.rmtree(scratch, ignore_errors=True)
    made = run([cpack, '-G', 'TGZ;DEB', '--config', os.path.join(build, 'CPackConfig.cmake'),
                '-B', scratch], cwd=build)
    if made.returncode != 0:
        print(made.stdout + made.stderr, file=sys.stderr)
        return 1
    archive = os.path.join(scratch, f'vorn-{version}-Linux.tar.gz')
    deb = [os.path.join(scratch, n) for n in os.listdir(scratch) if n.endswith('.deb')]
    expect(os.path.isfile(archive), f'no {archive}')
    expect(len(deb) == 1, f'not one .deb in {scratch}: {deb}')
    if faults:
        print('\n'.join(faults), file=sys.stderr)
        return 1
    unpacked = {'tar.gz': os.path.join(scratch, 'tgz'), 'deb': os.path.join(scratch, 'deb')}
    for directory in unpacked.values():
        os.makedirs(directory)
    run(['tar', '-xzf', archive, '-C', unpacked['tar.gz']], check=True)
    run(['dpkg-deb', '-x', deb[0], unpacked['deb']], check=True)
    roots = {'tar.gz': os.path.join(unpacked['tar.gz'], f'vorn-{version}-Linux'),
             'deb': unpacked['deb'] + prefix.rstrip('/')}
    for kind, root in roots.items():
        check_contents(kind, unpacked[kind], root)
        check_driver(kind, root, machine, version)
        check_archiver(kind, root, stage, machine, version, scratch)
    check_control(deb[0], version, maintainer)
    for name in [archive] + deb:
        print(f'{os.path.basename(name)}: {os.path.getsize(name)} bytes')
    for fault in faults:
        print(fault, file=sys.stderr)
    return 1 if faults else 0


if __name__ == '__main__':
    sys.exit(main())
