#!/usr/bin/python3
"""velqo-cli's --json documents against docs/json/velqo-cli.schema.json: every
command, run as a user would, ending well and ending badly, against substitute
boxes on 127.0.0.1 (a free port each). Every wait is bounded; every box is
stopped at the end, however the test ends."""
import hashlib
import json
import os
import random
import select
import shutil
import subprocess
import sys
import tempfile

import jsonschema

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SCHEMA = os.path.join(ROOT, 'docs', 'json', 'velqo-cli.schema.json')
ADDRESS = '127.0.0.1'
PASSWORD = '2468'
RUN_TIMEOUT_S = 60
START_TIMEOUT_S = 10
# A name the box lists that is not UTF-8: shown readable, and given exactly.
ODD_NAME = b'caf\xe9.txt'
# Lines of two kinds in random order: too different to diff line by line.
FAR_LINES = 20000


def write_backup(folder, name, data):
    """A backup folder of one text file, as velqo-cli writes one."""
    os.makedirs(folder)
    manifest = b'Settings ' + name + b' 1\n'
    for file, content in ((name, data), (b'manifest.txt', manifest)):
        with open(os.path.join(folder.encode(), file), 'wb') as f:
            f.write(content)
    with open(os.path.join(folder, 'SHA256SUMS'), 'wb') as f:
        for file, content in ((name, data), (b'manifest.txt', manifest)):
            f.write(hashlib.sha256(content).hexdigest().encode() + b'  ' + file + b'\n')


class Box:
    """velqo-boxsim serving `folder` on ADDRESS and a free port."""

    def __init__(self, boxsim, folder, extra=()):
        self.process = subprocess.Popen(
            [boxsim, '--folder', folder, '--listen', ADDRESS, '--port', '0',
             '--password', PASSWORD] + list(extra),
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        ready, _, _ = select.select([self.process.stdout], [], [], START_TIMEOUT_S)
        line = self.process.stdout.readline() if ready else ''
        prefix = 'listening on %s:' % ADDRESS
        if prefix not in line:
            self.stop()
            raise AssertionError('velqo-boxsim did not start: %r' % line)
        rest = line.split(prefix, 1)[1]
        self.port = rest[:len(rest) - len(rest.lstrip('0123456789'))]

    def stop(self):
        self.process.terminate()
        try:
            self.process.wait(timeout=START_TIMEOUT_S)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()


def run(cli, work, port, args, password=PASSWORD):
    # find searches the ranges it is given, never a --host.
    host = [] if args[0] == 'find' else ['-H', ADDRESS]
    command = [cli, '--json', '-q'] + host + ['-p', port, '-C', work] + args
    env = dict(os.environ, VELQO_PASSWORD=password)
    done = subprocess.run(command, capture_output=True, timeout=RUN_TIMEOUT_S, env=env)
    return done.returncode, done.stdout.decode('utf-8'), done.stderr.decode('utf-8', 'replace')


def main():
    cli, boxsim = sys.argv[1], sys.argv[2]
    with open(SCHEMA, encoding='utf-8') as f:
        schema = json.load(f)
    jsonschema.Draft202012Validator.check_schema(schema)
    validator = jsonschema.Draft202012Validator(schema)
    work = tempfile.mkdtemp(prefix='velqo-json-')
    boxes = []
    try:
        demo, odd, pc, updating = (os.path.join(work, n)
                                   for n in ('demo', 'odd', 'pc', 'updating'))
        for folder in (demo, updating):
            subprocess.run([boxsim, '--make-demo', folder], check=True,
                           stdout=subprocess.DEVNULL, timeout=RUN_TIMEOUT_S)
        os.makedirs(odd)
        with open(os.path.join(odd, 'manifest.txt'), 'wb') as f:
            f.write(b'Odd ' + ODD_NAME + b' 1\n')
        with open(os.path.join(odd.encode(), ODD_NAME), 'wb') as f:
            f.write(b'x')
        os.makedirs(pc)
        with open(os.path.join(pc, 'config.txt'), 'w') as f:
            f.write('volume=3\n')
        seeded = random.Random(31)
        for side in ('far1', 'far2'):
            write_backup(os.path.join(pc, side), b'list.txt',
                         b''.join(seeded.choice((b'x\n', b'y\n')) for _ in range(FAR_LINES)))
        with open(os.path.join(pc, 'update.pkg'), 'w') as f:
            f.write('firmware 2.0\n')
        with open(os.path.join(updating, 'config.txt'), 'w') as f:
            f.write('volume=3\n')
        box, odd_box = Box(boxsim, demo), Box(boxsim, odd)
        update_box = Box(boxsim, updating, ['--update-file', 'update.pkg', '--update-restart',
                                            '1', '--update-resets', 'Settings'])
        boxes += [box, odd_box, update_box]
        port = box.port
        closed = '1'  # nothing listens on port 1 of the loopback

        # (what, port, args, expected exit, password)
        cases = [
            ('usage error', port, ['frob'], 2, PASSWORD),
            ('help', port, ['--help'], 0, PASSWORD),
            ('help of a command', port, ['help', 'diff'], 0, PASSWORD),
            ('version', port, ['--version'], 0, PASSWORD),
            ('list', port, ['list'], 0, PASSWORD),
            ('list, wrong password', port, ['list'], 3, '1357'),
            ('list, nothing listens', closed, ['list'], 3, PASSWORD),
            ('list, a name not UTF-8', odd_box.port, ['list'], 0, PASSWORD),
            ('get', port, ['get', 'config.txt', 'nothere.txt'], 1, PASSWORD),
            ('get, a name not UTF-8', odd_box.port, ['get', 'config.txt'], 1, PASSWORD),
            ('backup', port, ['backup', '--into', 'store'], 0, PASSWORD),
            ('backup, usage', port, ['backup', '--keep', 'x'], 2, PASSWORD),
            ('backup, a name not UTF-8', odd_box.port, ['backup', '--into', 'odd'], 0, PASSWORD),
            ('backups', port, ['backups', '--into', 'store'], 0, PASSWORD),
            ('backups --all', port, ['backups', '--all', '--into', 'store'], 0, PASSWORD),
            ('compare', port, ['compare', '--into', 'store', 'latest'], 0, PASSWORD),
            ('backup, a report', port,
             ['backup', '--report', '--git', 'repo', '--into', 'store'], 0, PASSWORD),
            ('history', port, ['history', '--into', 'store'], 0, PASSWORD),
            ('diff', port, ['diff', '--into', 'store', 'latest~1', 'latest'], 0, PASSWORD),
            ('diff with the box', port, ['diff', '--into', 'store', 'latest', 'box'], 0,
             PASSWORD),
            ('diff, no backup', port, ['diff', 'nothing', 'latest'], 2, PASSWORD),
            ('diff, too different', port, ['diff', 'far1', 'far2'], 1, PASSWORD),
            ('put', port, ['put', 'config.txt'], 0, PASSWORD),
            ('put, a file missing', port, ['put', 'config.txt', 'missing.txt'], 1, PASSWORD),
            # The other box's backup: nothing of it on this box, nothing of this box in it.
            ('compare, other files', port,
             lambda documents: ['compare', documents['backup, a name not UTF-8']['folder']], 1,
             PASSWORD),
            ('compare, no backup', port, ['compare', 'nothing'], 2, PASSWORD),
            ('restore, dry run', port, ['restore', '--dry-run', '--into', 'store', 'latest'], 0,
             PASSWORD),
            ('restore', port, ['restore', '--verify', '--into', 'store', 'latest'], 0, PASSWORD),
            ('restore, no backup', port, ['restore', 'nothing'], 2, PASSWORD),
            ('update, dry run', update_box.port,
             ['update', '--dry-run', '--into', 'ustore', 'update.pkg'], 0, PASSWORD),
            ('update', update_box.port,
             ['update', '--into', 'ustore', '--keep-group', 'Settings', 'update.pkg'], 0,
             PASSWORD),
            ('update, no such file', update_box.port, ['update', 'nothere.pkg'], 1, PASSWORD),
            ('boxes', port, ['boxes', '--into', 'store'], 0, PASSWORD),
            ('find', port, ['find', '--login', '--into', 'store', ADDRESS], 0, PASSWORD),
            ('find, wrong password', port, ['find', '--login', ADDRESS], 0, '1357'),
            ('find, nothing listens', closed, ['find', ADDRESS], 1, PASSWORD),
            ('find, usage', port, ['find', '127.0.0.0/8'], 2, PASSWORD),
        ]
        failures = []
        documents = {}
        for what, at, args, exit_status, password in cases:
            if callable(args):
                args = args(documents)
            status, out, err = run(cli, pc, at, args, password)
            try:
                document = json.loads(out)
            except ValueError as e:
                failures.append('%s: not one JSON document (%s): %r\n%s' % (what, e, out, err))
                continue
            documents[what] = document
            problems = [e.message for e in validator.iter_errors(document)]
            if status != exit_status or document.get('exit') != status:
                problems.append('exit %d, document says %r, expected %d'
                                % (status, document.get('exit'), exit_status))
            if problems:
                failures.append('%s: %s\n%s\n%s' % (what, '; '.join(problems), out, err))

        # What the schema cannot say: order, and names given exactly.
        put = documents.get('put, a file missing', {}).get('files', [])
        if [(f['name'], f['result']) for f in put] != [('config.txt', 'sent'),
                                                       ('missing.txt', 'failed')]:
            failures.append('put: files not in the order given: %r' % put)
        for what in ('list, a name not UTF-8', 'backup, a name not UTF-8'):
            files = documents.get(what, {}).get('files', [])
            if not files or bytes.fromhex(files[0].get('name_hex', '')) != ODD_NAME \
                    or files[0]['name'] != 'caf\ufffd.txt':
                failures.append('%s: the name is not given exactly: %r' % (what, files))
        report = documents.get('backup, a report', {})
        if report.get('changes') != [] or (report.get('git') or {}).get('repository') != 'repo':
            failures.append('backup --report --git: no changes or git: %r' % report)
        found = documents.get('find', {}).get('boxes', [])
        if [(b['result'], (b['backup'] or {}).get('folder') is not None) for b in found] != \
                [('box', True)]:
            failures.append('find: not the box with its newest backup: %r' % found)
        # help COMMAND is that command's help alone.
        asked = documents.get('help of a command', {})
        if asked.get('help_command') != 'diff' or 'restore BACKUP' in asked.get('help', '') \
                or not asked.get('help', '').startswith('Usage: velqo-cli [OPTION]... diff'):
            failures.append('help diff: not the help of diff alone: %r' % asked)
        far = documents.get('diff, too different', {}).get('files', [{}])[0]
        if not far.get('too_different') or 'diff' in far or far.get('first_difference') is None \
                or 'too different to show line by line' not in far.get('shown', ''):
            failures.append('diff of files too different: %r' % far)
        update = documents.get('update', {})
        if [s['step'] for s in update.get('steps', [])] != [
                'check', 'send', 'wait', 'compare', 'put-back', 'backup-after'] \
                or [f['name'] for f in update.get('files', [])] != ['config.txt']:
            failures.append('update: not every step, or not config.txt put back: %r' % update)
        if 'name_hex' in json.dumps(documents.get('list')):
            failures.append('list: name_hex for names that are exact')
        for failure in failures:
            print('FAILED ' + failure)
        print('%d documents checked, %d failed' % (len(cases), len(failures)))
        return 1 if failures else 0
    finally:
        for b in boxes:
            b.stop()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == '__main__':
    sys.exit(main())
