#!/usr/bin/env python3
"""Completes vorn-cxx's options in bash, zsh and fish as a person would:
each shell runs in its own tmux server, finds the completion script where
the installed tree put it, and is typed at; the screen is read back.

usage: shell_completion_test.py CMAKE BUILD_DIR SCRATCH

The build is installed under SCRATCH/prefix; its vorn-cxx answers
--completion= on its own (no toolchain is needed).  Every wait polls the
screen with a time limit, so a shell that never shows the expected text
fails the test instead of hanging it.
"""
import os
import shutil
import subprocess
import sys
import time

PROMPT = 'vorn$ '
WAIT_SECONDS = 15


class Pane:
    """One shell in a private tmux server."""

    def __init__(self, scratch, name, command, env):
        self.socket = os.path.join(scratch, f'tmux-{name}')
        self.name = name
        self.tmux(['-f', '/dev/null', 'new-session', '-d', '-x', '200', '-y', '50', '-s', 'test']
                  + ['env', '-i'] + [f'{k}={v}' for k, v in env.items()] + command)

    def tmux(self, arguments):
        return subprocess.run(['tmux', '-S', self.socket] + arguments, check=True,
                              capture_output=True, text=True, timeout=WAIT_SECONDS).stdout

    def screen(self):
        return self.tmux(['capture-pane', '-p', '-t', 'test']).rstrip('\n')

    def type(self, *keys):
        for key in keys:
            self.tmux(['send-keys', '-t', 'test'] + (['-l', key] if len(key) > 1 else [key]))

    def press(self, key):
        self.tmux(['send-keys', '-t', 'test', key])

    def wait_for(self, wanted, what):
        """Polls the screen until WANTED(screen) holds; the last screen when
        it never does."""
        deadline = time.monotonic() + WAIT_SECONDS
        while True:
            screen = self.screen()
            if wanted(screen):
                return None
            if time.monotonic() > deadline:
                return f'{self.name}: {what}; the screen shows:\n{screen}'
            time.sleep(0.1)

    def close(self):
        subprocess.run(['tmux', '-S', self.socket, 'kill-server'], capture_output=True,
                       timeout=WAIT_SECONDS)


def last_line(screen):
    lines = [line for line in screen.splitlines() if line.strip()]
    return lines[-1] if lines else ''


def shells(prefix, home):
    """Each shell, started as a user would have it set up, with the
    installed tree's completion found where that shell looks."""
    share = os.path.join(prefix, 'share')
    base = {'HOME': home, 'TERM': 'xterm', 'LC_ALL': 'C.UTF-8',
            'PATH': os.path.join(prefix, 'bin') + ':/usr/bin:/bin'}
    setups = {}
    bashrc = os.path.join(home, 'bashrc')
    with open(bashrc, 'w') as rc:
        # The bash-completion package loads a command's completion on first
        # use from the completions directories of XDG_DATA_DIRS.
        rc.write(f"PS1='{PROMPT}'\n. /usr/share/bash-completion/bash_completion\n")
    setups['bash'] = (['bash', '--noprofile', '--rcfile', bashrc, '-i'],
                      dict(base, XDG_DATA_DIRS=f'{share}:/usr/share'))
    zdot = os.path.join(home, 'zsh')
    os.makedirs(zdot, exist_ok=True)
    with open(os.path.join(zdot, '.zshrc'), 'w') as rc:
        rc.write(f"PS1='{PROMPT}'\n"
                 f"fpath=({share}/zsh/vendor-completions $fpath)\n"
                 "autoload -Uz compinit && compinit -u -d $ZDOTDIR/compdump\n")
    setups['zsh'] = (['zsh', '-i'], dict(base, ZDOTDIR=zdot))
    # fish reads the vendor_completions.d directories of XDG_DATA_DIRS.
    setups['fish'] = (['fish', '-i', '-C', f"function fish_prompt; echo -n '{PROMPT}'; end"],
                      dict(base, XDG_DATA_DIRS=f'{share}:/usr/share',
                           XDG_CONFIG_HOME=os.path.join(home, 'config'),
                           XDG_DATA_HOME=os.path.join(home, 'data')))
    return setups


def check_shell(pane, name):
    """The three things a person tries; returns the faults."""
    faults = []
    start = pane.wait_for(lambda s: last_line(s) == PROMPT.rstrip(), 'no prompt')
    if start:
        return [start]

    def attempt(typed, tabs, after, wanted, what):
        pane.type(f'vorn-cxx {typed}')
        for _ in range(tabs):
            pane.press('Tab')
        if after:
            pane.type(after)
        fault = pane.wait_for(wanted, f'"{typed}", Tab: {what}')
        if fault:
            faults.append(fault)
        # Clear the line and any listing before the next attempt.
        pane.press('C-u')
        pane.press('C-l')
        pane.wait_for(lambda s: last_line(s) == PROMPT.rstrip(), 'no prompt after clearing')

    def line_is(text):
        return lambda screen: last_line(screen) == f'{PROMPT}vorn-cxx {text}'

    # An option prefix with one completion: the word is finished and a
    # space follows (the "x" typed next stands apart).
    attempt('-fno-omit-frame-p', 1, 'x', line_is('-fno-omit-frame-pointer x'),
            'not completed to "-fno-omit-frame-pointer "')
    # A value after "=": the option stays as typed, the value is finished.
    attempt('-fsanitize=add', 1, 'x', line_is('-fsanitize=address x'),
            'not completed to "-fsanitize=address "')
    # An option that takes a joined argument gets no space after its "=".
    attempt('-fmax-err', 1, '7', line_is('-fmax-errors=7'),
            'not completed to "-fmax-errors="')
    # Several values: the shell lists them (bash on the second Tab).
    attempt('-std=c++2', 2, '',
            lambda s: all(f'c++{v}' in s for v in ('20', '23', '2a', '2b')),
            'the values c++20, c++23, c++2a and c++2b not listed')
    return faults


def main():
    cmake, build, scratch = sys.argv[1:]
    if shutil.which('tmux') is None:
        print('tmux is not installed (Debian package tmux)', file=sys.stderr)
        return 1
    shutil.rmtree(scratch, ignore_errors=True)
    home = os.path.join(scratch, 'home')
    prefix = os.path.join(scratch, 'prefix')
    os.makedirs(home)
    installed = subprocess.run([cmake, '--install', build, '--prefix', prefix],
                               capture_output=True, text=True)
    if installed.returncode != 0:
        print(installed.stdout + installed.stderr, file=sys.stderr)
        return 1
    faults = []
    for name, (command, env) in shells(prefix, home).items():
        if shutil.which(command[0]) is None:
            faults.append(f'{name} is not installed (Debian package {name})')
            continue
        pane = Pane(scratch, name, command, env)
        try:
            shell_faults = check_shell(pane, name)
        finally:
            pane.close()
        faults += shell_faults
        print(f'{name}: {"ok" if not shell_faults else "FAILED"}')
    for fault in faults:
        print(fault, file=sys.stderr)
    return 1 if faults else 0


if __name__ == '__main__':
    sys.exit(main())
