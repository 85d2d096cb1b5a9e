# -*- coding: utf-8 -*-
# Copyright (c) 2026 the VELQO_LAN_MM authors
# SPDX-License-Identifier: MIT
"""What the unit tests share: the collection importable from where it lies
(ansible_collections/velqo/box), an action plugin run as Ansible runs it, and a
stand-in velqo-cli that answers with canned JSON documents and records how it
was called."""
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
COLLECTIONS_ROOT = os.path.dirname(os.path.dirname(os.path.dirname(COLLECTION)))


# Ansible's collection finder, which it sets up when its plugin loader is first
# imported, finds the collection where it lies.
os.environ['ANSIBLE_COLLECTIONS_PATH'] = COLLECTIONS_ROOT
importlib.import_module('ansible.plugins.loader')

# Answers in the order asked with the documents of replies.json, and appends
# each call (arguments and the password it was handed) to calls.jsonl.
STAND_IN = r'''#!%s
import json, os, sys
here = os.path.dirname(os.path.abspath(__file__))
calls = os.path.join(here, 'calls.jsonl')
with open(calls, 'a') as f:
    f.write(json.dumps({'argv': sys.argv[1:], 'password': os.environ.get('VELQO_PASSWORD')}) + '\n')
with open(calls) as f:
    index = len(f.readlines()) - 1
with open(os.path.join(here, 'replies.json')) as f:
    replies = json.load(f)
reply = replies[min(index, len(replies) - 1)]
sys.stdout.write(json.dumps(reply['document']) if 'document' in reply else reply.get('stdout', ''))
sys.stderr.write(reply.get('stderr', ''))
sys.exit(reply.get('document', {}).get('exit', reply.get('status', 0)))
'''


class StandInCli(object):
    """A velqo-cli that answers with canned documents."""

    def __init__(self, folder):
        self.folder = str(folder)
        self.path = os.path.join(self.folder, 'velqo-cli')
        with open(self.path, 'w') as f:
            f.write(STAND_IN % sys.executable)
        os.chmod(self.path, stat.S_IRWXU)
        self.answer({'ok': True, 'exit': 0, 'files': []})

    def answer(self, *documents):
        """JSON documents, one per call in the order asked (the last one repeats)."""
        self._reply([{'document': d} for d in documents])

    def answer_without_document(self, stdout, stderr, status):
        self._reply([{'stdout': stdout, 'stderr': stderr, 'status': status}])

    def _reply(self, replies):
        with open(os.path.join(self.folder, 'replies.json'), 'w') as f:
            json.dump(replies, f)

    def calls(self):
        try:
            with open(os.path.join(self.folder, 'calls.jsonl')) as f:
                return [json.loads(line) for line in f]
        except IOError:
            return []

    def commands(self):
        """Each call's arguments after -C FOLDER: the command and its own."""
        return [c['argv'][c['argv'].index('-C') + 2:] for c in self.calls()]


@pytest.fixture
def cli(tmp_path):
    return StandInCli(tmp_path)


@pytest.fixture
def run_action():
    return _run_action


def _run_action(name, args, variables, check_mode=False, diff=False, basedir='/'):
    """The result of velqo.box.NAME's action plugin for one host."""
    from ansible.parsing.dataloader import DataLoader
    from ansible.template import Templar
    module = importlib.import_module('ansible_collections.velqo.box.plugins.action.' + name)
    task = SimpleNamespace(args=dict(args), async_val=0, check_mode=check_mode, diff=diff,
                           action='velqo.box.' + name)
    loader = DataLoader()
    loader.set_basedir(basedir)
    # A connection whose temporary folder is set: an action that runs locally makes none.
    connection = SimpleNamespace(_shell=SimpleNamespace(tmpdir='unused'))
    action = module.ActionModule(task, connection, None, loader,
                                 Templar(loader=loader, variables=variables), None)
    return action.run(task_vars=dict(variables))
