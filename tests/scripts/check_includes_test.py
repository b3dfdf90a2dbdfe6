#!/usr/bin/env python3
"""The include check on a small tree of three libraries: low <- mid <- top."""
import os
import subprocess
import sys
import tempfile
import unittest

CHECKER = os.path.join(os.path.dirname(__file__), '..', '..', 'scripts', 'check-includes.py')
RULES = 'lib_low low | | \nlib_mid mid | lib_low | \nlib_top top | | lib_mid\n'


def run(files, rules=RULES):
    """Writes files ({path: text}) and the rules into a fresh tree; the checker's exit status and lines."""
    with tempfile.TemporaryDirectory() as root:
        for folder in ('low', 'mid', 'top'):
            os.makedirs(os.path.join(root, folder))
        for path, text in files.items():
            with open(os.path.join(root, path), 'w') as f:
                f.write(text)
        with open(os.path.join(root, 'rules.txt'), 'w') as f:
            f.write(rules)
        r = subprocess.run([sys.executable, CHECKER, os.path.join(root, 'rules.txt'), root],
                           capture_output=True, text=True)
        return r.returncode, r.stdout.splitlines()


GOOD = {'low/L.h': '', 'mid/M.h': '#include "low/L.h"\n', 'top/T.cpp': '#include "mid/M.h"\n#include "low/L.h"\n'}


class IncludeDirection(unittest.TestCase):
    def test_includes_along_the_links_pass(self):
        self.assertEqual(run(GOOD), (0, []))

    def test_each_fault_is_named(self):
        cases = [
            ('an upward include', {'low/L.cpp': '#include "mid/M.h"\n'}, 'low/L.cpp: includes "mid/M.h"'),
            ('a header through a private link', {'top/T.h': '#include "mid/M.h"\n'}, 'PRIVATE link'),
            ('a link no file uses', {'top/T.cpp': ''}, 'top/: links lib_mid'),
            ('a library that ends the process', {'low/L.cpp': 'void f() { std::exit(-1); }\n'}, 'low/L.cpp:1'),
        ]
        for what, change, expected in cases:
            with self.subTest(what):
                status, lines = run({**GOOD, **change})
                self.assertEqual(status, 1)
                self.assertTrue(any(expected in line for line in lines), lines)


if __name__ == '__main__':
    unittest.main()
