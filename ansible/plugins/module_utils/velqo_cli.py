# -*- coding: utf-8 -*-
"""Runs velqo-cli --json for the velqo.box modules and reads the backups it makes.

velqo-cli is the one implementation of the box protocol: these helpers only start
it, hand it the password through its environment and read its JSON document.
They run on the control node (the collection's action plugins call them).
"""
from __future__ import absolute_import, division, print_function

__metaclass__ = type

import json
import os
import re
import shutil
import subprocess

PASSWORD_VARIABLE = 'VELQO_PASSWORD'
TEXT_TYPE = 1  # the box's type code of a text file
# The file in a backup folder that lists the box's files, as velqo-cli writes it.
MANIFEST_NAME = 'manifest.txt'
# Longer files are not shown in diff mode: a diff that long is unreadable.
MAX_DIFF_BYTES = 256 * 1024


class CliError(Exception):
    """A failure before velqo-cli ran, or one that left no JSON document."""


def find_cli(path):
    """velqo-cli from the given path, else from PATH."""
    if path:
        path = os.path.expanduser(path)
        if os.path.isfile(path) and os.access(path, os.X_OK):
            return path
        raise CliError('velqo_cli %s is not an executable file' % path)
    found = shutil.which('velqo-cli')
    if not found:
        raise CliError('velqo-cli is not on PATH; install velqo-tools or set velqo_cli')
    return found


class VelqoCli(object):
    """velqo-cli for one box, run in a working folder of the caller's (its -C)."""

    def __init__(self, executable, host, port, password, workdir):
        self.executable = executable
        self.host = host
        self.port = port
        self.password = password
        self.workdir = workdir

    def run(self, arguments):
        """Runs one command and returns its JSON document (a dict)."""
        argv = [self.executable, '--json', '--host', self.host]
        if self.port:
            argv += ['--port', str(self.port)]
        # An empty working folder: no settings file there can change the box asked.
        argv += ['-C', self.workdir] + list(arguments)
        env = dict(os.environ)
        if self.password:
            # The environment, not the command line, which any user sees with ps.
            env[PASSWORD_VARIABLE] = self.password
        process = subprocess.run(argv, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                 stderr=subprocess.PIPE, env=env, cwd=self.workdir, check=False)
        try:
            document = json.loads(process.stdout.decode('utf-8'))
        except ValueError:
            document = None
        if not isinstance(document, dict):
            lines = process.stderr.decode('utf-8', 'replace').strip().splitlines()
            # Its own message rather than the usage text that may follow it.
            said = [line for line in lines if line.startswith('velqo-cli:')] or lines
            raise CliError('velqo-cli ended with status %d without a JSON document%s'
                           % (process.returncode, ': ' + said[-1] if said else ''))
        return document


def failure_message(document):
    """The CLI's own words for what went wrong."""
    if document.get('error'):
        return document['error']
    problems = []
    for entry in document.get('files') or []:
        outcome = entry.get('result', entry.get('state'))
        if (outcome in ('failed', 'refused') or entry.get('verified') is False or
                (outcome == 'skipped' and entry.get('message'))):
            problems.append('%s: %s' % (entry.get('name'), entry.get('message') or outcome))
    if problems:
        return '; '.join(problems)
    return 'velqo-cli ended with status %s' % document.get('exit')


def is_plain_name(name):
    """A box file name that is safe to join to a folder."""
    return (isinstance(name, str) and name not in ('', '.', '..') and
            not any(c in name for c in '/\\:\0'))


def latest_backup(cli, dest):
    """The newest complete backup of cli's box in the backup store dest, as
    velqo-cli's store finds it (the box is its address and port)."""
    document = cli.run(['backups', '--into', dest])
    if not document.get('ok'):
        raise CliError(failure_message(document))
    if not document.get('latest'):
        raise CliError('no complete backup of %s in %s' % (document.get('box'), dest))
    return document['latest']


def _manifest_fields(line):
    """GROUP NAME TYPE of one manifest line: blanks between fields, double
    quotes around a field with blanks, '#' at a field's start begins a comment."""
    fields = []
    i = 0
    while True:
        while i < len(line) and line[i] in ' \t\r':
            i += 1
        if i >= len(line) or line[i] == '#':
            return fields
        if line[i] == '"':
            end = line.find('"', i + 1)
            if end < 0:
                return []
            fields.append(line[i + 1:end])
            i = end + 1
        else:
            end = i
            while end < len(line) and line[end] not in ' \t\r':
                end += 1
            fields.append(line[i:end])
            i = end


def manifest_types(folder):
    """{name: type} from a backup's manifest; lines that do not read are left out
    (velqo-cli itself refuses a damaged backup)."""
    try:
        with open(os.path.join(folder, MANIFEST_NAME), 'rb') as f:
            text = f.read().decode('utf-8', 'replace')
    except OSError:
        return {}
    types = {}
    for line in text.lstrip('\ufeff').splitlines():
        fields = _manifest_fields(line)
        if len(fields) == 3 and re.match(r'^-?\d+$', fields[2]):
            types.setdefault(fields[1], int(fields[2]))
    return types


def text_files(folder, names):
    """The names, or every file of the backup, that are text files (type 1)."""
    types = manifest_types(folder)
    return [n for n in (names or types) if types.get(n) == TEXT_TYPE and is_plain_name(n)]


def _read(path):
    try:
        with open(path, 'rb') as f:
            return f.read(MAX_DIFF_BYTES + 1)
    except OSError:
        return None


def _text(data):
    try:
        return data.decode('utf-8')
    except UnicodeDecodeError:
        return data.decode('latin-1')


def fetch_box_copies(cli, names):
    """Downloads the named files into the working folder (velqo-cli get); returns
    the names that came. A failure here only means no diff for those files."""
    if not names:
        return set()
    document = cli.run(['get', '--'] + list(names))
    return set(e.get('name') for e in document.get('files') or [] if e.get('result') == 'downloaded')


def text_diff(cli, folder, name, on_box):
    """Ansible's diff of one text file: the box's copy (from fetch_box_copies) before,
    the backup's after."""
    before = _read(os.path.join(cli.workdir, name)) if name in on_box else b''
    after = _read(os.path.join(folder, name))
    diff = {'before_header': '%s:%s' % (cli.host, name),
            'after_header': os.path.join(folder, name)}
    if before is None or after is None:
        return None
    if len(before) > MAX_DIFF_BYTES or len(after) > MAX_DIFF_BYTES:
        diff['prepared'] = '%s: longer than %d bytes, not shown\n' % (name, MAX_DIFF_BYTES)
    else:
        diff['before'] = _text(before)
        diff['after'] = _text(after)
    return diff
