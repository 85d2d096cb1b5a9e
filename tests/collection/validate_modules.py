#!/usr/bin/python3
"""Runs Ansible's module validator (validate-modules of the installed
ansible-core, as `ansible-test sanity` would, which needs the network here) on a
collection's modules and applies its tests/sanity/ignore-X.Y.txt as ansible-test
does: an error is reported unless a line ignores it, and a line that ignores
nothing is reported too. Exit status 0 only when nothing is reported."""
import argparse
import json
import os
import re
import subprocess
import sys

import ansible
import ansible_test

VALIDATOR = os.path.join(os.path.dirname(ansible_test.__file__), '_util', 'controller', 'sanity',
                         'validate-modules')
TEST_NAME = 'validate-modules'
TIMEOUT_S = 300


def ignored(collection):
    """{(path, code): reason} of the ignore file for this ansible-core."""
    version = '.'.join(ansible.__version__.split('.')[:2])
    path = os.path.join(collection, 'tests', 'sanity', 'ignore-%s.txt' % version)
    ignores = {}
    if not os.path.exists(path):
        return ignores, path
    with open(path) as f:
        for number, line in enumerate(f, 1):
            match = re.match(r'^(\S+) ([\w-]+):([\w-]+)(?: +# +(.+))?$', line.rstrip('\n'))
            if not match or not match.group(4):
                sys.exit('%s line %d: not "PATH TEST:CODE # REASON"' % (path, number))
            if match.group(2) == TEST_NAME:
                ignores[(match.group(1), match.group(3))] = match.group(4)
    return ignores, path


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument('collection', help='ansible_collections/NAMESPACE/NAME')
    parser.add_argument('--version', required=True, help="the collection's version")
    args = parser.parse_args()
    collection = os.path.abspath(args.collection)
    root = os.path.dirname(os.path.dirname(os.path.dirname(collection)))
    env = dict(os.environ, ANSIBLE_COLLECTIONS_PATH=root, PYTHONPATH=VALIDATOR)
    argv = [sys.executable, os.path.join(VALIDATOR, 'validate.py'), '--format', 'json',
            '--collection', '.', '--collection-version', args.version, '--arg-spec',
            'plugins/modules']
    run = subprocess.run(argv, cwd=collection, env=env, capture_output=True, text=True,
                         timeout=TIMEOUT_S)
    try:
        report = json.loads(run.stdout or '{}')
    except ValueError:
        report = None
    if run.returncode not in (0, 3) or not isinstance(report, dict):
        sys.exit('validate-modules did not run (status %d):\n%s%s'
                 % (run.returncode, run.stdout, run.stderr))
    ignores, ignore_file = ignored(collection)
    used = set()
    problems = []
    for path, found in sorted(report.items()):
        for error in found.get('errors', []):
            if (path, error['code']) in ignores:
                used.add((path, error['code']))
            else:
                problems.append('%s:%d:%d: %s: %s' % (path, error['line'], error['column'],
                                                      error['code'], error['msg']))
    problems += ['%s: ignores %s %s, which is not reported' % (ignore_file, path, code)
                 for path, code in sorted(set(ignores) - used)]
    for problem in problems:
        print('validate-modules: %s' % problem)
    print('validate-modules: %d module(s), %d error(s) ignored with a reason, %d reported'
          % (len(report), len(used), len(problems)))
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main())
