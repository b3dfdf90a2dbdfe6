#!/usr/bin/env python3
"""Holds every #include "folder/File.h" of the libraries to the direction of the build.

    python3 scripts/check-includes.py RULES [SOURCE_ROOT]

RULES is include-rules.txt of a build tree (written by CMake from the libraries'
links), one line per library: "NAME DIR | PUBLIC LINKS | PRIVATE LINKS". A file
directly in DIR may include the headers of DIR and of the folders its library may
reach: its links, and the PUBLIC links of those, and so on. A header (.h) may not
reach through PRIVATE links, which its users do not get. A link that no file of
the library includes is reported too (links should match the includes), and so is
a library outside app/ that prints or ends the process (only the application talks
to the person and decides the exit status).
Prints one line per fault and exits 1 when there is any."""
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)
TALKS = re.compile(r'\b(?:std::)?(?:exit|_Exit|quick_exit|abort|printf|puts|perror)\s*\(|'
                   r'std::(?:cout|cerr|clog)\b|\b(?:stdout|stderr)\b')


def read_rules(path):
    libs = {}
    with open(path) as f:
        for line in f:
            if not line.strip():
                continue
            head, public, private = (part.split() for part in line.split('|'))
            libs[head[0]] = {'dir': head[1], 'public': public, 'private': private}
    return libs


def public_closure(libs, names):
    """The libraries reached from names through PUBLIC links, names included."""
    seen, todo = set(), list(names)
    while todo:
        name = todo.pop()
        if name in seen or name not in libs:
            continue
        seen.add(name)
        todo.extend(libs[name]['public'])
    return seen


def check(libs, root):
    faults = []
    dir_of = {lib['dir']: name for name, lib in libs.items()}
    for name, lib in sorted(libs.items()):
        folder = lib['dir']
        from_header = {libs[n]['dir'] for n in public_closure(libs, [name]) if n in libs}
        from_source = from_header | {libs[n]['dir'] for n in public_closure(libs, lib['private']) if n in libs}
        used = set()
        path = os.path.join(root, folder)
        for entry in sorted(os.listdir(path)):
            if not entry.endswith(('.h', '.cpp')):
                continue
            allowed = from_header if entry.endswith('.h') else from_source
            with open(os.path.join(path, entry), encoding='utf-8', errors='replace') as f:
                text = f.read()
            if not folder.startswith('app/'):
                for number, line in enumerate(text.splitlines(), 1):
                    code = line.split('//')[0]
                    if TALKS.search(code):
                        faults.append(f'{folder}/{entry}:{number}: prints or ends the process: {line.strip()}')
            for included in INCLUDE.findall(text):
                target = os.path.dirname(included)
                if not target or target not in dir_of:
                    continue  # a header of the same folder spelled short, or not ours
                used.add(dir_of[target])
                if target not in allowed:
                    how = 'a PRIVATE link, which users of a header do not get' \
                        if target in from_source else 'no link of ' + name
                    faults.append(f'{folder}/{entry}: includes "{included}": {target}/ is reached by {how}')
        for link in lib['public'] + lib['private']:
            if link in libs and link not in used:
                faults.append(f'{folder}/: links {link} ({libs[link]["dir"]}/) but includes none of its headers')
    return faults


def main():
    if len(sys.argv) not in (2, 3):
        print(__doc__, file=sys.stderr)
        return 2
    root = sys.argv[2] if len(sys.argv) == 3 else os.path.join(os.path.dirname(__file__), '..')
    faults = check(read_rules(sys.argv[1]), root)
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == '__main__':
    sys.exit(main())
