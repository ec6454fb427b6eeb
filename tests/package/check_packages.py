#!/usr/bin/env python3
"""Builds the .tar.gz and .deb packages of this build, unpacks each into a
scratch directory and checks them: exactly the product's files and
directories, the control fields of the .deb, and the unpacked programs
running from where they were unpacked (the tree is relocatable).  Then the
.deb as a system receives it: installed with dpkg into a scratch root that
has the machine's package database and the directories of the machine the
package would touch, its programs and manual pages used from there, removed
again, leaving exactly the files and directories that were there before;
and lintian reports no error and no warning on it.

usage: check_packages.py CPACK BUILD_DIR STAGE_DIR SCRATCH MACHINE VERSION PREFIX MAINTAINER
"""
import glob
import os
import shutil
import subprocess
import sys

# The .deb installs here, the .tar.gz unpacks into a directory of its own.
DEB_PREFIX = '/usr'
# Every file and link a package holds, relative to its installation root.
CONTENTS = {
    'bin/vorn-cxx', 'bin/vorn-ar', 'bin/vorn-nm', 'bin/vorn-ranlib',
    'share/man/man1/vorn-cxx.1.gz', 'share/man/man1/vorn-ar.1.gz',
    'share/man/man1/vorn-nm.1.gz -> vorn-ar.1.gz', 'share/man/man1/vorn-ranlib.1.gz -> vorn-ar.1.gz',
    'share/man/man7/vorn-options.7.gz',
    'share/bash-completion/completions/vorn-cxx',
    'share/zsh/vendor-completions/_vorn-cxx',
    'share/fish/vendor_completions.d/vorn-cxx.fish',
    'share/locale/de/LC_MESSAGES/vorn.mo',
    'share/doc/vorn/copyright', 'share/doc/vorn/changelog.gz', 'share/doc/vorn/specs-files.md',
    'share/doc/vorn/examples/cmake/vorn-toolchain.cmake',
    'share/doc/vorn/examples/bear/vorn-cxx.json',
    'share/doc/vorn/examples/specs/extra.specs',
    'share/doc/vorn/examples/toolchains/aarch64-linux-binutils.specs',
    'share/lintian/overrides/vorn',
}
# The layout's directories that the product leaves empty for a toolchain.
EMPTY_DIRECTORIES = ('lib/vorn/{machine}/{version}', 'libexec/vorn/{machine}/{version}',
                     '{machine}/bin')
CLEAN_ENV = {'PATH': '/usr/bin:/bin', 'LC_ALL': 'C'}

faults = []


def expect(condition, message):
    if not condition:
        faults.append(message)


def run(command, **options):
    options.setdefault('capture_output', True)
    options.setdefault('text', True)
    return subprocess.run(command, **options)


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


def check_contents(kind, unpacked, root, machine, version):
    entries = {os.path.relpath(os.path.join(unpacked, e), root) for e in tree_entries(unpacked)}
    expect(entries == CONTENTS,
           f'{kind}: unexpected contents\n  extra: {sorted(entries - CONTENTS)}\n'
           f'  missing: {sorted(CONTENTS - entries)}')
    for directory in EMPTY_DIRECTORIES:
        path = os.path.join(root, directory.format(machine=machine, version=version))
        expect(os.path.isdir(path) and not os.listdir(path),
               f'{kind}: {path} is not an empty directory')


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
    # Put the stand-in ar and plug-in where an integrator puts the real ones,
    # into the directories the package brings.  The tool directory is
    # reached through the executable prefix
    # (lib/vorn/MACHINE/VERSION/../../../../MACHINE/bin).
    plugin_dir = os.path.join(root, 'libexec', 'vorn', machine, version)
    tool_dir = os.path.join(root, machine, 'bin')
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


def system_entries(root):
    """Every file, link and directory under ROOT but dpkg's own database."""
    entries = set()
    for directory, subdirectories, files in os.walk(root):
        relative = os.path.relpath(directory, root)
        if relative == os.path.join('var', 'lib', 'dpkg'):
            subdirectories[:] = []
            continue
        for name in subdirectories + files:
            path = os.path.join(directory, name)
            entry = os.path.relpath(path, root)
            if os.path.islink(path):
                entry += ' -> ' + os.readlink(path)
            elif os.path.isdir(path):
                entry += '/'
            entries.add(entry)
    return entries


def make_scratch_system(root, deb):
    """A root that looks to dpkg like this machine where the package would
    go: the machine's package database (which package owns which path) and
    those of the package's directories that the machine has, as directories
    or links."""
    admin = os.path.join(root, 'var', 'lib', 'dpkg')
    for sub in ('info', 'updates', 'triggers'):
        os.makedirs(os.path.join(admin, sub))
    shutil.copy('/var/lib/dpkg/status', admin)
    open(os.path.join(admin, 'available'), 'w').close()
    for listing in glob.glob('/var/lib/dpkg/info/*.list'):
        shutil.copy(listing, os.path.join(admin, 'info'))
    data = run(['dpkg-deb', '--fsys-tarfile', deb], text=False).stdout
    names = run(['tar', '-t'], input=data, text=False).stdout.decode().split()
    for name in sorted(n for n in names if n.endswith('/')):
        host = '/' + name.strip('./').rstrip('/')
        mine = os.path.join(root, host.lstrip('/'))
        if host == '/' or os.path.lexists(mine):
            continue
        if os.path.islink(host):
            os.symlink(os.readlink(host), mine)
        elif os.path.isdir(host):
            os.makedirs(mine)
    return admin


def check_dpkg_cycle(deb, root, version):
    admin = make_scratch_system(root, deb)
    before = system_entries(root)
    # --path-include undoes any path-exclude of the machine's dpkg
    # configuration (slim images drop manual pages and documentation).
    dpkg = ['dpkg', f'--root={root}', f'--admindir={admin}', '--force-not-root',
            '--force-script-chrootless', '--path-include=/*']
    installed = run(dpkg + ['-i', deb])
    expect(installed.returncode == 0, f'dpkg -i: {installed.stdout}{installed.stderr}')
    if installed.returncode != 0:
        return
    files = run(dpkg + ['-L', 'vorn']).stdout.splitlines()
    print('dpkg -L vorn:\n  ' + '\n  '.join(sorted(files)))
    usr = os.path.join(root, DEB_PREFIX.lstrip('/'))
    banner = run([os.path.join(usr, 'bin', 'vorn-cxx'), '--version'], env=CLEAN_ENV)
    expect(banner.stdout.splitlines()[:1] == [f'vorn-cxx (Vorn) {version}'],
           f'installed vorn-cxx --version printed {banner.stdout!r} {banner.stderr!r}')
    for program in ('vorn-ar', 'vorn-nm', 'vorn-ranlib'):
        bare = run([os.path.join(usr, 'bin', program)], env=CLEAN_ENV)
        expect(bare.returncode == 1 and "Cannot find plugin 'libltolink.so'" in bare.stderr,
               f'installed {program}: {bare.returncode} {bare.stderr!r}')
    # man finds the compressed pages and the links through MANPATH.
    man_env = dict(CLEAN_ENV, MANPATH=os.path.join(usr, 'share', 'man'), MANWIDTH='80',
                   MAN_DISABLE_SECCOMP='1', PAGER='cat')
    for page, title in (('vorn-cxx', 'vorn-cxx - compile and link C++ programs'),
                        ('vorn-nm', 'vorn-ar, vorn-nm, vorn-ranlib - archive tools'),
                        ('vorn-options', 'vorn-options - the options vorn-cxx accepts')):
        shown = run(['man', page], env=man_env)
        expect(shown.returncode == 0 and title in ' '.join(shown.stdout.split()),
               f'man {page} exited {shown.returncode}: {shown.stdout[:300]!r} {shown.stderr!r}')
    removed = run(dpkg + ['--purge', 'vorn'])
    expect(removed.returncode == 0, f'dpkg --purge: {removed.stdout}{removed.stderr}')
    after = system_entries(root)
    expect(before == after, 'removing the package did not restore the system:\n'
           f'  left behind: {sorted(after - before)}\n  taken away: {sorted(before - after)}')


def check_lintian(deb):
    report = run(['lintian', '--fail-on', 'error,warning', '--tag-display-limit', '0', deb])
    tags = [line for line in report.stdout.splitlines() if line[:2] in ('E:', 'W:')]
    expect(report.returncode == 0 and not tags,
           f'lintian exited {report.returncode}:\n{report.stdout}{report.stderr}')


def main():
    cpack, build, stage, scratch, machine, version, _, maintainer = sys.argv[1:]
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
             'deb': unpacked['deb'] + DEB_PREFIX}
    for kind, root in roots.items():
        check_contents(kind, unpacked[kind], root, machine, version)
        check_driver(kind, root, machine, version)
    check_control(deb[0], version, maintainer)
    check_dpkg_cycle(deb[0], os.path.join(scratch, 'system'), version)
    check_lintian(deb[0])
    for kind, root in roots.items():
        check_archiver(kind, root, stage, machine, version, scratch)
    for name in [archive] + deb:
        print(f'{os.path.basename(name)}: {os.path.getsize(name)} bytes')
    for fault in faults:
        print(fault, file=sys.stderr)
    return 1 if faults else 0


if __name__ == '__main__':
    sys.exit(main())
