# -*- coding: utf-8 -*-
# Copyright (c) 2026 the VELQO_LAN_MM authors
# SPDX-License-Identifier: MIT
"""The action plugins against a stand-in velqo-cli: options and variables are
checked before it runs, results are built from its JSON documents, and failures
name what the task's user wrote."""
from __future__ import absolute_import, division, print_function

__metaclass__ = type

import json
import os

import pytest

from ansible_collections.velqo.box.plugins.plugin_utils.velqo_cli import DOCUMENT_FORMAT

from conftest import PASSWORD

# A regular file that is there.
A_FILE = os.path.abspath(__file__)


# module, its options, host variables beside the usual ones: the message.
@pytest.mark.parametrize('module,options,variables,message', [
    ('backup', dict(dest='/b', port=0), {}, 'port must be from 1 to 65535, not 0'),
    ('files_info', {}, dict(velqo_port='0x10'),
     "velqo_port must be a port number from 1 to 65535, not '0x10'"),
    ('files_info', {}, dict(velqo_port='65536'), 'velqo_port must be from 1 to 65535, not 65536'),
    ('backup', dict(dest='/b', keep=0), {}, 'keep must be from 1 to 999999, not 0'),
    ('files_info', dict(cli_timeout=0), {}, 'cli_timeout must be from 1 to 604800, not 0'),
    ('files_info', dict(cli_timeout=10 ** 7), {},
     'cli_timeout must be from 1 to 604800, not 10000000'),
    ('files_info', {}, dict(velqo_password='12345'), 'velqo_password needs 1 to 4 digits'),
    ('update', dict(src='/', dest='/b'), {}, 'src: / is not a regular file'),
    ('update', dict(src='/no/update.pkg', dest='/b'), {},
     'src: cannot read /no/update.pkg: No such file or directory'),
    ('update', dict(src=A_FILE, dest='/b', wait_timeout=0), {},
     'wait_timeout must be from 1 to 86400, not 0'),
    ('update', dict(src=A_FILE, dest='/b', wait_timeout=600, cli_timeout=600), {},
     'wait_timeout (600 s) must be shorter than cli_timeout (600 s)'),
])
def test_refused_before_velqo_cli_runs(cli, run_action, host_vars, module, options, variables,
                                       message):
    result = run_action(module, options, host_vars(cli, **variables))
    assert result.get('failed') and result['msg'] == message
    assert cli.calls() == []


def test_the_edges_of_the_ranges_run(cli, run_action, host_vars, tmp_path):
    dest = str(tmp_path / 'per-host' / 'box2')
    run_action('backup', dict(dest=dest, port=65535, keep=999999, cli_timeout=604800),
               host_vars(cli))
    assert cli.calls()[0]['argv'][3:5] == ['--port', '65535']
    assert cli.commands() == [['backup', '--report', '--into', dest, '--keep', '999999']]
    # Made as Ansible's fetch makes its dest, parents and all.
    assert (tmp_path / 'per-host' / 'box2').is_dir()


def files(*entries):
    return [dict(zip(('name', 'result', 'message', 'verified'), e)) for e in entries]


LISTED = dict(ok=True, exit=0, files=[dict(group='Settings', name='config.txt', type=1)])
PARTIAL = dict(ok=False, exit=1, folder='/b/box', complete=False,
               files=files(('a', 'saved'), ('SHA256SUMS', 'failed', 'named like a backup file')))
DIFFERS = dict(ok=False, exit=1, same=False,
               files=[dict(name='a', result='differs'), dict(name='b', result='missing-on-box')])
NOT_COMMITTED = dict(ok=False, exit=1, folder='/b/box', complete=True, files=files(('a', 'saved')),
                     git=dict(repository='/g', commit=None, error='git is not installed'))
COMPARE_FAILED = dict(ok=False, exit=1, same=False,
                      files=[dict(name='b', result='failed', message='download failed')])
NOT_VERIFIED = dict(ok=False, exit=1, changed=True,
                    files=files(('a', 'sent', 'read back 3 bytes differ', False)))


# module, options, check mode, velqo-cli's document: the command velqo-cli was
# given, and the result's changed, failed and msg.
@pytest.mark.parametrize('module,options,check_mode,document,command,changed,failed,msg', [
    ('files_info', {}, False, LISTED, ['list'], False, False, None),
    ('backup', dict(dest='b'), False, PARTIAL, ['backup', '--report', '--into', '{}/b'], True,
     True, 'SHA256SUMS: named like a backup file'),
    ('backup', dict(dest='b', box_name='kitchen'), False, PARTIAL,
     ['backup', '--report', '--into', '{}/b', '--box-name', 'kitchen'], True, True,
     'SHA256SUMS: named like a backup file'),
    ('backup', dict(dest='b'), True, LISTED, ['list'], True, False, None),
    ('backup', dict(dest='b', git='/g'), False, NOT_COMMITTED,
     ['backup', '--report', '--into', '{}/b', '--git', '/g'], True, True,
     'git: git is not installed'),
    ('compare', dict(src='/b/box', names=['a']), False, DIFFERS, ['compare', '--', '/b/box', 'a'],
     False, False, None),
    ('compare', dict(src='/b/box'), False, COMPARE_FAILED, ['compare', '--', '/b/box'], False,
     True, 'b: download failed'),
    ('restore', dict(src='/b/box'), True, dict(NOT_VERIFIED, ok=True, exit=0),
     ['restore', '--changed-only', '--verify', '--dry-run', '--', '/b/box'], True, False, None),
    ('restore', dict(src='/b/box'), True, dict(COMPARE_FAILED, changed=True),
     ['restore', '--changed-only', '--verify', '--dry-run', '--', '/b/box'], False, True,
     'b: download failed'),
    ('restore', dict(src='/b/box', verify=False), False, NOT_VERIFIED,
     ['restore', '--changed-only', '--', '/b/box'], True, True, 'a: read back 3 bytes differ'),
])
def test_results_from_the_document(cli, run_action, host_vars, monkeypatch, tmp_path, module,
                                   options, check_mode, document, command, changed, failed, msg):
    monkeypatch.chdir(tmp_path)
    cli.answer(document)
    result = run_action(module, options, host_vars(cli), check_mode=check_mode)
    assert cli.commands() == [[a.format(tmp_path) for a in command]]
    assert cli.calls()[0]['password'] == PASSWORD
    assert (result['changed'], bool(result.get('failed')), result.get('msg'), result['files']) == (
        changed, failed, msg, document['files'])


REFUSED_LOGIN = 'refused the password (from VELQO_PASSWORD); not --host or --port'


# Where the address, the port and the password came from: velqo-cli's names
# for them become the task's.
@pytest.mark.parametrize('options,variables,message', [
    ({}, {}, 'refused the password (from velqo_password); not ansible_host or port'),
    (dict(host='127.0.0.2'), dict(velqo_port='1000', ansible_host=None),
     'refused the password (from velqo_password); not host or velqo_port'),
    ({}, dict(velqo_password=None, ansible_host=None), REFUSED_LOGIN.replace(
        '--host or --port', 'inventory_hostname or port')),
])
def test_messages_name_what_the_task_wrote(cli, run_action, host_vars, options, variables, message):
    cli.answer(dict(ok=False, exit=3, files=[], error=REFUSED_LOGIN))
    result = run_action('files_info', options, host_vars(cli, **variables))
    assert result['msg'] == message and result['error'] == message


def test_a_run_without_a_document_fails_with_velqo_clis_words(cli, run_action, host_vars):
    cli.answer_without_document('', 'velqo-cli: --port needs a number\nTry --help\n', 2)
    result = run_action('files_info', dict(port=4000), host_vars(cli))
    assert result['failed'] and result['msg'] == (
        'velqo-cli ended with status 2 without a JSON document: velqo-cli: port needs a number')


# module, its folders as written: velqo-cli's command, with {} for the folder
# the run started in (an ad-hoc run's basedir is '.', while velqo-cli runs in a
# temporary folder). A folder named like src's word 'latest' is a folder all the same.
@pytest.mark.parametrize('module,options,command', [
    ('backup', dict(dest='latest', git='history'),
     ['backup', '--report', '--into', '{}/latest', '--git', '{}/history']),
    ('restore', dict(src='~/golden'),
     ['restore', '--changed-only', '--verify', '--', '{}/home/golden']),
])
def test_relative_folders_and_velqo_cli_are_taken_from_the_basedir(cli, run_action, host_vars,
                                                                   monkeypatch, tmp_path, module,
                                                                   options, command):
    monkeypatch.chdir(tmp_path)
    monkeypatch.setenv('HOME', str(tmp_path / 'home'))
    result = run_action(module, options, host_vars(cli, velqo_cli='velqo-cli'))
    assert not result.get('failed')
    assert cli.commands() == [[a.format(tmp_path) for a in command]]


# module, velqo-cli's document, its exit status when it printed the document and
# then failed or was killed: the result's changed.
@pytest.mark.parametrize('module,options,document,status,changed', [
    ('files_info', {}, LISTED, 139, False),
    ('backup', dict(dest='b'), dict(PARTIAL, ok=True, exit=0, complete=True), 1, True),
])
def test_a_failed_run_after_its_document_fails(cli, run_action, host_vars, monkeypatch, tmp_path,
                                               module, options, document, status, changed):
    monkeypatch.chdir(tmp_path)
    cli.answer_without_document(json.dumps(dict(document, format=DOCUMENT_FORMAT)), '', status)
    result = run_action(module, options, host_vars(cli))
    assert (result['changed'], result.get('failed'), result['msg'], result['exit']) == (
        changed, True, 'velqo-cli ended with status %d after a document saying 0' % status,
        status)


BOX_DIFF = dict(ok=False, exit=1, same=False, files=[
    dict(name='a', result='changed', shown='changed a\n-x\n+y\n'),
    dict(name='b', result='changed', shown='changed b\n  binary: 1 -> 2 bytes\n')])


# In diff mode the diffs are velqo-cli diff's, of the box against the backup:
# compare's differing files, restore's files sent.
@pytest.mark.parametrize('module,first,commands,shown', [
    ('compare', DIFFERS, [['compare', '--', '/b/box'], ['diff', '--', 'box', '/b/box']],
     ['changed a\n-x\n+y\n', 'changed b\n  binary: 1 -> 2 bytes\n']),
    # Only what was sent: a, the same on the box by then, is not shown.
    ('restore', BOX_DIFF, [['diff', '--', 'box', '/b/box'],
                           ['restore', '--changed-only', '--verify', '--', '/b/box']],
     ['changed b\n  binary: 1 -> 2 bytes\n']),
])
def test_diff_mode_shows_velqo_clis_diffs(cli, run_action, host_vars, module, first, commands,
                                          shown):
    second = dict(ok=True, exit=0, changed=True, files=files(('b', 'sent', None, True)))
    cli.answer(*((first, BOX_DIFF) if module == 'compare' else (first, second)))
    result = run_action(module, dict(src='/b/box'), host_vars(cli), diff_mode=True)
    assert cli.commands() == commands
    assert [d['prepared'] for d in result['diff']] == shown
