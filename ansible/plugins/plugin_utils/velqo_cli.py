# -*- coding: utf-8 -*-
# Copyright (c) 2026 the VELQO_LAN_MM authors
# SPDX-License-Identifier: MIT
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
import signal
import subprocess

PASSWORD_VARIABLE = 'VELQO_PASSWORD'
HOST_OPTION = '--host'
# The format of velqo-cli's --json documents this collection reads.
DOCUMENT_FORMAT = 1
# How long one velqo-cli command may run when the task does not say (cli_timeout):
# long enough for a whole box, short enough that a hung run ends.
DEFAULT_TIMEOUT_S = 3600
# The longest cli_timeout: a week, far within what Python can wait on a pipe
# (about 24 days; past it waiting fails and would leave velqo-cli running).
MAX_TIMEOUT_S = 7 * 24 * 3600
# A velqo-cli past its time gets SIGTERM, on which it removes its partial files,
# and this long to end before it is killed.
STOP_GRACE_S = 10
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
            # It is started in a temporary working folder.
            return os.path.abspath(path)
        raise CliError('velqo_cli %s is not an executable file' % path)
    found = shutil.which('velqo-cli')
    if not found:
        raise CliError('velqo-cli is not on PATH; install velqo-tools or set velqo_cli')
    return found


def in_user_words(message, words):
    """message with velqo-cli's option and variable names ({'--port': 'port'...})
    replaced by the names the task's user wrote."""
    for cli_word, user_word in words.items():
        message = re.sub(r'(?<![\w-])%s(?![\w-])' % re.escape(cli_word), user_word, message)
    return message


def run_bounded(argv, env, cwd, timeout, what):
    """(exit status, stdout, stderr) of a program that may run timeout seconds;
    what names the run in the message when it is stopped."""
    try:
        process = subprocess.Popen(argv, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                   stderr=subprocess.PIPE, env=env, cwd=cwd)
    except OSError as e:
        raise CliError('cannot start %s: %s' % (argv[0], e.strerror))
    try:
        stdout, stderr = process.communicate(timeout=timeout)
    except subprocess.TimeoutExpired:
        process.send_signal(signal.SIGTERM)
        try:
            process.communicate(timeout=STOP_GRACE_S)
        except subprocess.TimeoutExpired:
            process.kill()
            process.communicate()
        raise CliError('%s did not end within %d s (cli_timeout) and was stopped'
                       % (what, timeout))
    return process.returncode, stdout, stderr


class VelqoCli(object):
    """velqo-cli for one box, run in a working folder of the caller's (its -C).
    words: velqo-cli's names for what the task's user named otherwise."""

    def __init__(self, executable, host, port, password, workdir, timeout=DEFAULT_TIMEOUT_S,
                 words=None):
        self.executable = executable
        self.host = host
        self.port = port
        self.password = password
        self.workdir = workdir
        self.timeout = timeout
        self.words = dict(words or {})

    def run(self, arguments):
        """Runs one command and returns its JSON document (a dict)."""
        argv = [self.executable, '--json', HOST_OPTION, self.host]
        if self.port:
            argv += ['--port', str(self.port)]
        # An empty working folder: no settings file there can change the box asked.
        argv += ['-C', self.workdir] + list(arguments)
        env = dict(os.environ)
        if self.password:
            # The environment, not the command line, which any user sees with ps.
            env[PASSWORD_VARIABLE] = self.password
        returncode, stdout, stderr = run_bounded(argv, env, self.workdir, self.timeout,
                                                 'velqo-cli ' + arguments[0])
        try:
            document = json.loads(stdout.decode('utf-8'))
        except ValueError:
            document = None
        if not isinstance(document, dict):
            lines = stderr.decode('utf-8', 'replace').strip().splitlines()
            # Its own message rather than the usage text that may follow it.
            said = [line for line in lines if line.startswith('velqo-cli:')] or lines
            raise CliError('velqo-cli ended with status %d without a JSON document%s'
                           % (returncode, ': ' + said[-1] if said else ''))
        if document.get('format') != DOCUMENT_FORMAT:
            raise CliError('velqo-cli gave a document of format %r, this collection reads '
                           'format %d: install velqo-cli and the collection of one release'
                           % (document.get('format'), DOCUMENT_FORMAT))
        files = document.get('files')
        if not isinstance(files, list) or not all(isinstance(e, dict) for e in files):
            # Every reader of a document walks its files.
            raise CliError('velqo-cli gave a document whose files are not a list of objects')
        if returncode != document.get('exit'):
            # It printed its document and then failed or was killed: not a success,
            # though what the document says was done (a folder made) stays true.
            document.update(ok=False, exit=returncode,
                            error='velqo-cli ended with status %d after a document saying %r'
                            % (returncode, document.get('exit')))
        return document

    def in_user_words(self, message):
        return in_user_words(message, self.words)


def failure_message(document):
    """The CLI's own words for what went wrong."""
    if document.get('error'):
        return document['error']
    problems = []
    for entry in document.get('files') or []:
        outcome = entry.get('result')
        if (outcome in ('failed', 'refused') or entry.get('verified') is False or
                (outcome == 'skipped' and entry.get('message'))):
            problems.append('%s: %s' % (entry.get('name'), entry.get('message') or outcome))
    git = document.get('git')
    if isinstance(git, dict) and git.get('error'):
        # A complete backup that its commit failed.
        problems.append('git: %s' % git['error'])
    if problems:
        return '; '.join(problems)
    return 'velqo-cli ended with status %s' % document.get('exit')


def is_plain_name(name):
    """A box file name that is safe to join to a folder."""
    return (isinstance(name, str) and name not in ('', '.', '..') and
            not any(c in name for c in '/\\:\0'))


def latest_backup(cli, dest, box_name=None):
    """The newest complete backup of cli's box in the backup store dest, as
    velqo-cli's store finds it (the box is its address and port, or box_name)."""
    document = cli.run(['backups', '--into', dest] + (['--box-name', box_name] if box_name else []))
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
    return set(e.get('name') for e in document.get('files') or [] if e.get('result') == 'saved')


def text_diff(cli, folder, name, on_box):
    """Ansible's diff of one text file: the box's copy (from fetch_box_copies) before,
    the backup's after."""
    diff = {'before_header': '%s:%s' % (cli.host, name),
            'after_header': os.path.join(folder, name)}
    if name not in on_box:
        # A file diffed is one the box lists: an empty before would show its
        # content as all new.
        diff['prepared'] = '%s: the box\'s copy could not be read, not shown\n' % name
        return diff
    before = _read(os.path.join(cli.workdir, name))
    after = _read(os.path.join(folder, name))
    if before is None or after is None:
        return None
    if len(before) > MAX_DIFF_BYTES or len(after) > MAX_DIFF_BYTES:
        diff['prepared'] = '%s: longer than %d bytes, not shown\n' % (name, MAX_DIFF_BYTES)
    else:
        diff['before'] = _text(before)
        diff['after'] = _text(after)
    return diff
