# -*- coding: utf-8 -*-
# Copyright (c) 2026 the VELQO_LAN_MM authors
# SPDX-License-Identifier: MIT
"""velqo-cli's runs are bounded in time, and diffs are built from the box's
copy and the backup's."""
from __future__ import absolute_import, division, print_function

__metaclass__ = type

import os
import stat
import sys

import pytest

from ansible_collections.velqo.box.plugins.plugin_utils import velqo_cli
from ansible_collections.velqo.box.plugins.plugin_utils.velqo_cli import (
    MAX_DIFF_BYTES, CliError, VelqoCli, text_diff)

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


# the box's copy (None: not fetched), the backup's: the diff's texts, or the
# note that replaces them.
@pytest.mark.parametrize('on_box,in_backup,diff', [
    (b'cafe\n', b'caf\xe9\n', dict(before='cafe\n', after=u'caf\xe9\n')),
    (None, b'short\n', dict(prepared="config.txt: the box's copy could not be read, not shown\n")),
    (b'x' * (MAX_DIFF_BYTES + 1), b'short\n',
     dict(prepared='config.txt: longer than %d bytes, not shown\n' % MAX_DIFF_BYTES)),
])
def test_the_diff_of_a_text_file(tmp_path, on_box, in_backup, diff):
    workdir, folder = tmp_path / 'work', tmp_path / 'backup'
    workdir.mkdir()
    folder.mkdir()
    (folder / 'config.txt').write_bytes(in_backup)
    if on_box is not None:
        (workdir / 'config.txt').write_bytes(on_box)
    cli = VelqoCli('velqo-cli', '127.0.0.2', None, None, str(workdir))
    fetched = set() if on_box is None else {'config.txt'}
    assert text_diff(cli, str(folder), 'config.txt', fetched) == dict(
        diff, before_header='127.0.0.2:config.txt', after_header=str(folder / 'config.txt'))


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
