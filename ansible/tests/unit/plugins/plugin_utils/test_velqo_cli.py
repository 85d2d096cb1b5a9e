# -*- coding: utf-8 -*-
# Copyright (c) 2026 the VELQO_LAN_MM authors
# SPDX-License-Identifier: MIT
"""velqo-cli's runs are bounded in time, and diffs are velqo-cli's."""
from __future__ import absolute_import, division, print_function

__metaclass__ = type

import os
import stat
import sys

import pytest

from ansible_collections.velqo.box.plugins.plugin_utils import velqo_cli
from ansible_collections.velqo.box.plugins.plugin_utils.velqo_cli import (
    CliError, VelqoCli, ansible_diffs)

# A velqo-cli that never ends: it notes its process id, and on SIGTERM notes
# that it was asked to stop, then ends unless told to ignore the request.
ENDLESS = r'''#!%s
import os, signal, sys, time
here = os.path.dirname(os.path.abspath(__file__))
with open(os.path.join(here, 'pid'), 'w') as f:
    f.write(str(os.getpid()))
def stop(*_):
    open(os.path.join(here, 'asked-to-stop'), 'w').close()
    if %r:
        sys.exit(143)
signal.signal(signal.SIGTERM, stop)
for _ in range(600):
    time.sleep(0.1)
'''


def endless_cli(folder, ends_when_asked):
    path = os.path.join(str(folder), 'velqo-cli')
    with open(path, 'w') as f:
        f.write(ENDLESS % (sys.executable, ends_when_asked))
    os.chmod(path, stat.S_IRWXU)
    return VelqoCli(path, '127.0.0.2', None, None, str(folder), timeout=1)


@pytest.mark.parametrize('ends_when_asked', [True, False])
def test_a_run_past_its_time_is_stopped(tmp_path, monkeypatch, ends_when_asked):
    monkeypatch.setattr(velqo_cli, 'STOP_GRACE_S', 0.5)
    cli = endless_cli(tmp_path, ends_when_asked)
    with pytest.raises(CliError) as raised:
        cli.run(['backup', '--into', str(tmp_path)])
    assert str(raised.value) == ('velqo-cli backup did not end within 1 s (cli_timeout) '
                                 'and was stopped')
    # Asked first, so that it can remove its partial files; gone in any case.
    assert (tmp_path / 'asked-to-stop').exists()
    with pytest.raises(OSError):
        os.kill(int((tmp_path / 'pid').read_text()), 0)


# velqo-cli diff's document: the diffs of the files asked for, in their order,
# with its own (escaped) words; a diff that failed is one note.
@pytest.mark.parametrize('document,names,prepared', [
    (dict(files=[dict(name='b.txt', result='changed', shown='changed b.txt\n-x\n+\\x1b\n'),
                 dict(name='a.bin', result='changed', shown='  binary: 3 -> 4 bytes\n'),
                 dict(name='same.txt', result='same', shown='same same.txt\n')]),
     ['a.bin', 'same.txt', 'b.txt'], ['  binary: 3 -> 4 bytes\n', 'changed b.txt\n-x\n+\\x1b\n']),
    (dict(error='the box at 127.0.0.2:1000 refused the password', files=[]), ['a.bin'],
     ['no diff: the box at 127.0.0.2:1000 refused the password\n']),
    (dict(files=[dict(name='a.bin', result='changed', shown='x')]), [], []),
])
def test_diffs_come_from_velqo_clis_words(tmp_path, document, names, prepared):
    cli = VelqoCli('velqo-cli', '127.0.0.2', None, None, str(tmp_path))
    diffs = ansible_diffs(cli, '/b/box', document, names)
    assert [d['prepared'] for d in diffs] == prepared
    assert all(d['before_header'].startswith('127.0.0.2:') for d in diffs if 'before_header' in d)


OTHER_FORMAT = ('velqo-cli gave a document of format %r, this collection reads format 1: '
                'install velqo-cli and the collection of one release')
NOT_FILES = 'velqo-cli gave a document whose files are not a list of objects'


# A document that is not read (format None: a velqo-cli older than the formats).
@pytest.mark.parametrize('document,message', [
    (dict(format=None), OTHER_FORMAT % None),
    (dict(format=2), OTHER_FORMAT % 2),
    (dict(files={'name': 'a'}), NOT_FILES),
    (dict(files=['a']), NOT_FILES),
])
def test_a_document_not_as_expected_is_not_read(cli, tmp_path, document, message):
    cli.answer(dict(dict(ok=True, exit=0, files=[]), **document))
    with pytest.raises(CliError) as raised:
        VelqoCli(cli.path, '127.0.0.2', None, None, str(tmp_path)).run(['list'])
    assert str(raised.value) == message
