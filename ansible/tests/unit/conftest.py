# -*- coding: utf-8 -*-
# Copyright (c) 2026 the VELQO_LAN_MM authors
# SPDX-License-Identifier: MIT
"""What the unit tests share: the collection importable from where it lies
(ansible_collections/velqo/box), an action plugin run as Ansible runs it, and a
stand-in velqo-cli that answers with canned JSON documents and records its calls."""
from __future__ import absolute_import, division, print_function

__metaclass__ = type

import importlib
import json
import os
import stat
import sys
from types import SimpleNamespace

import pytest

COLLECTION = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
# Ansible's plugin loader, when first imported, sets up its collection finder here.
os.environ['ANSIBLE_COLLECTIONS_PATH'] = os.path.dirname(os.path.dirname(os.path.dirname(
    COLLECTION)))
importlib.import_module('ansible.plugins.loader')
from ansible_collections.velqo.box.plugins.plugin_utils.velqo_cli import DOCUMENT_FORMAT  # noqa: E402

# Appends its call to calls.jsonl and answers with the reply of replies.json for
# that call (the last one for any further call), writing the reply's files.
STAND_IN = r'''#!%s
import json, os, sys
here = os.path.dirname(os.path.abspath(__file__))
call = {'argv': sys.argv[1:], 'password': os.environ.get('VELQO_PASSWORD')}
with open(os.path.join(here, 'calls.jsonl'), 'a+') as f:
    f.write(json.dumps(call) + '\n')
    f.seek(0)
    index = len(f.readlines()) - 1
with open(os.path.join(here, 'replies.json')) as f:
    replies = json.load(f)
reply = replies[min(index, len(replies) - 1)]
# A get's file, into the working folder (-C FOLDER).
folder = sys.argv[sys.argv.index('-C') + 1]
for name, text in reply['writes'].items():
    with open(os.path.join(folder, name), 'w') as f:
        f.write(text)
sys.stdout.write(reply['stdout'])
sys.stderr.write(reply['stderr'])
sys.exit(reply['status'])
'''


class StandInCli(object):
    def __init__(self, folder):
        self.folder = str(folder)
        self.path = os.path.join(self.folder, 'velqo-cli')
        with open(self.path, 'w') as f:
            f.write(STAND_IN % sys.executable)
        os.chmod(self.path, stat.S_IRWXU)
        self.answer({'ok': True, 'exit': 0, 'files': []})

    def answer(self, *documents):
        """Each document in the format of this release unless it names its own; a
        document's writes ({name: text}) are files its call makes."""
        self._reply([dict(stdout=json.dumps(dict({'format': DOCUMENT_FORMAT}, **dict(
            (k, v) for k, v in d.items() if k != 'writes'))), stderr='', status=d['exit'],
            writes=d.get('writes', {})) for d in documents])

    def answer_without_document(self, stdout, stderr, status):
        self._reply([dict(stdout=stdout, stderr=stderr, status=status, writes={})])

    def _reply(self, replies):
        with open(os.path.join(self.folder, 'replies.json'), 'w') as f:
            json.dump(replies, f)

    def calls(self):
        path = os.path.join(self.folder, 'calls.jsonl')
        if not os.path.exists(path):
            return []
        with open(path) as f:
            return [json.loads(line) for line in f]

    def commands(self):
        """Each call's command and its arguments (after -C FOLDER)."""
        return [c['argv'][c['argv'].index('-C') + 2:] for c in self.calls()]


# The password of the boxes in the tests' host variables.
PASSWORD = '2468'


def _host_vars(cli, **more):
    return dict(dict(inventory_hostname='box2', ansible_host='127.0.0.2', velqo_cli=cli.path,
                     velqo_password=PASSWORD), **more)


@pytest.fixture
def host_vars():
    """A box's host variables with the stand-in velqo-cli, and more."""
    return _host_vars


@pytest.fixture
def cli(tmp_path):
    return StandInCli(tmp_path)


def _run_action(name, args, variables, check_mode=False, diff_mode=False):
    """The result of velqo.box.NAME's action plugin for one host."""
    from ansible.parsing.dataloader import DataLoader
    from ansible.template import Templar
    module = importlib.import_module('ansible_collections.velqo.box.plugins.action.' + name)
    task = SimpleNamespace(args=dict(args), async_val=0, check_mode=check_mode, diff=diff_mode,
                           action='velqo.box.' + name)
    loader = DataLoader()
    # A connection whose temporary folder is set: an action that runs locally makes none.
    connection = SimpleNamespace(_shell=SimpleNamespace(tmpdir='unused'))
    action = module.ActionModule(task, connection, None, loader,
                                 Templar(loader=loader, variables=variables), None)
    return action.run(task_vars=dict(variables))


@pytest.fixture
def run_action():
    return _run_action
