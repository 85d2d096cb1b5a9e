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
# As the box's login carries the password: one to four digits.
MAX_PASSWORD_DIGITS = 4
# velqo-cli diff's word for the side that is the box itself.
BOX_SIDE = 'box'


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


def check_password(password, name):
    """The password's form, told without its value, which must appear nowhere;
    name is where the user gave it."""
    if password is not None and not re.fullmatch(r'[0-9]{1,%d}' % MAX_PASSWORD_DIGITS,
                                                 password):
        raise CliError('%s needs 1 to %d digits' % (name, MAX_PASSWORD_DIGITS))


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


def run_document(executable, options, arguments, password, workdir, timeout):
    """velqo-cli --json OPTIONS -C WORKDIR ARGUMENTS run in workdir: its JSON document
    (a dict), checked to be one this collection reads."""
    # An empty working folder: no settings file there can change what is asked.
    argv = [executable, '--json'] + list(options) + ['-C', workdir] + list(arguments)
    env = dict(os.environ)
    if password:
        # The environment, not the command line, which any user sees with ps.
        env[PASSWORD_VARIABLE] = password
    returncode, stdout, stderr = run_bounded(argv, env, workdir, timeout,
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
        if not self.host:
            # Without --host velqo-cli would take its settings' or its default box.
            raise CliError('no address of the box to run velqo-cli %s on' % arguments[0])
        options = [HOST_OPTION, self.host]
        if self.port:
            options += ['--port', str(self.port)]
        return run_document(self.executable, options, arguments, self.password, self.workdir,
                            self.timeout)

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


def latest_backup(cli, dest, box_name=None):
    """The newest complete backup of cli's box in the backup store dest, as
    velqo-cli's store finds it (the box is its address and port, or box_name)."""
    document = cli.run(['backups', '--into', dest] + (['--box-name', box_name] if box_name else []))
    if not document.get('ok'):
        raise CliError(failure_message(document))
    if not document.get('latest'):
        raise CliError('no complete backup of %s in %s' % (document.get('box'), dest))
    return document['latest']


def box_diff(cli, folder):
    """velqo-cli diff of the box's files (before) and a backup folder's (after): it
    reads both and words each file that differs, its control characters escaped."""
    return cli.run(['diff', '--', BOX_SIDE, folder])


def ansible_diffs(cli, folder, document, names):
    """Ansible's diff of each of names from box_diff's document; a diff that could
    not be made is one note in place of the files' diffs."""
    if not names:
        return []
    if document.get('error'):
        return [dict(prepared='no diff: %s\n' % document['error'])]
    shown = dict((entry.get('name'), entry.get('shown')) for entry in document['files']
                 if entry.get('result') != 'same' and entry.get('shown'))
    return [dict(before_header='%s:%s' % (cli.host, name),
                 after_header=os.path.join(folder, name), prepared=shown[name])
            for name in names if name in shown]
