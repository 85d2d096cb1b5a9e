# -*- coding: utf-8 -*-
# Copyright (c) 2026 the VELQO_LAN_MM authors
# SPDX-License-Identifier: MIT
"""The action plugins against a stand-in velqo-cli: options and variables are
checked before it runs, results are built from its JSON documents, and failures
name what the task's user wrote."""
from __future__ import absolute_import, division, print_function

__metaclass__ = type

import pytest

ADDRESS = '127.0.0.2'
PASSWORD = '2468'
CONNECT_ERROR = 'cannot connect to 127.0.0.2:1000: Connection refused'


def host_vars(cli, **more):
    return dict(dict(inventory_hostname='box2', ansible_host=ADDRESS, velqo_cli=cli.path,
                     velqo_password=PASSWORD), **more)


def files(*entries):
    return [dict(zip(('name', 'result'), e)) for e in entries]


# module, its options, host variables beside the usual ones: the message, given
# before velqo-cli runs.
REFUSED = [
    ('backup', dict(dest='/unused', port=0), {}, 'port must be from 1 to 65535, not 0'),
    ('files_info', dict(port=65536), {}, 'port must be from 1 to 65535, not 65536'),
    ('files_info', {}, dict(velqo_port='70000'), 'velqo_port must be from 1 to 65535, not 70000'),
    ('files_info', {}, dict(velqo_port='0x10'),
     "velqo_port must be a port number from 1 to 65535, not '0x10'"),
    ('backup', dict(dest='/unused', keep=0), {}, 'keep must be from 1 to 999999, not 0'),
    ('backup', dict(dest='/unused', keep=1000000), {},
     'keep must be from 1 to 999999, not 1000000'),
    ('files_info', dict(cli_timeout=0), {}, 'cli_timeout must be 1 or more, not 0'),
    ('files_info', {}, dict(velqo_password='12345'), 'velqo_password needs 1 to 4 digits'),
    ('files_info', {}, dict(velqo_password='73a1'), 'velqo_password needs 1 to 4 digits'),
    ('files_info', {}, dict(velqo_cli='/no/such/velqo-cli'),
     'velqo_cli /no/such/velqo-cli is not an executable file'),
    ('compare', dict(src='latest'), {}, 'src: latest needs dest, the folder holding the backups'),
]


@pytest.mark.parametrize('module,options,variables,message', REFUSED)
def test_refused_before_velqo_cli_runs(cli, run_action, module, options, variables, message):
    result = run_action(module, options, host_vars(cli, **variables))
    assert result.get('failed') and result['msg'] == message
    assert cli.calls() == []


def test_the_edges_of_the_ranges_run(cli, run_action):
    run_action('backup', dict(dest='/b', port=65535, keep=999999, cli_timeout=1), host_vars(cli))
    run_action('files_info', {}, host_vars(cli, velqo_port='1'))
    assert [c['argv'][:5] for c in cli.calls()] == [
        ['--json', '--host', ADDRESS, '--port', '65535'],
        ['--json', '--host', ADDRESS, '--port', '1']]
    assert cli.commands()[0] == ['backup', '--into', '/b', '--keep', '999999']


LISTED = dict(ok=True, exit=0, files=[dict(group='Settings', name='config.txt', type=1)])
SAVED = dict(ok=True, exit=0, folder='/b/box', complete=True, removed=[],
             files=files(('config.txt', 'saved')))
PARTIAL = dict(ok=False, exit=1, folder='/b/box', complete=False, removed=[],
               files=[dict(name='config.txt', result='saved'),
                      dict(name='SHA256SUMS', result='failed', message='named like a backup file')])
SAME = dict(ok=True, exit=0, same=True, files=[dict(name='config.txt', state='same')])
DIFFERS = dict(ok=False, exit=1, same=False,
               files=[dict(name='config.txt', state='differs'),
                      dict(name='logo.bin', state='missing-on-box')])
COMPARE_FAILED = dict(ok=False, exit=1, same=False,
                      files=[dict(name='config.txt', state='differs'),
                             dict(name='logo.bin', state='failed', message='download failed')])
COMPARE_UNEXPLAINED = dict(ok=False, exit=1, same=False, files=[dict(name='a', state='same')])
SENT = dict(ok=True, exit=0, changed=True, files=files(('config.txt', 'sent')))
UNCHANGED = dict(ok=True, exit=0, changed=False, files=files(('config.txt', 'unchanged')))
NOT_VERIFIED = dict(ok=False, exit=1, changed=True,
                    files=[dict(name='config.txt', result='sent', verified=False,
                                message='read back 3 bytes differ')])
NO_LINK = dict(ok=False, exit=3, files=[], error=CONNECT_ERROR)

# module, options, check mode, velqo-cli's document: the command velqo-cli was
# given, and the result's changed, failed and msg.
RESULTS = [
    ('files_info', {}, False, LISTED, ['list'], False, False, None),
    ('files_info', {}, False, NO_LINK, ['list'], False, True, CONNECT_ERROR),
    ('backup', dict(dest='/b'), False, SAVED, ['backup', '--into', '/b'], True, False, None),
    ('backup', dict(dest='/b'), False, PARTIAL, ['backup', '--into', '/b'], True, True,
     'SHA256SUMS: named like a backup file'),
    ('backup', dict(dest='/b'), True, LISTED, ['list'], True, False, None),
    ('backup', dict(dest='/b'), False, NO_LINK, ['backup', '--into', '/b'], False, True,
     CONNECT_ERROR),
    ('compare', dict(src='/b/box'), False, SAME, ['compare', '--', '/b/box'], False, False, None),
    ('compare', dict(src='/b/box', names=['config.txt']), False, DIFFERS,
     ['compare', '--', '/b/box', 'config.txt'], False, False, None),
    ('compare', dict(src='/b/box'), False, COMPARE_FAILED, ['compare', '--', '/b/box'], False,
     True, 'logo.bin: download failed'),
    ('compare', dict(src='/b/box'), False, COMPARE_UNEXPLAINED, ['compare', '--', '/b/box'],
     False, True, 'velqo-cli ended with status 1'),
    ('restore', dict(src='/b/box'), False, SENT,
     ['restore', '--changed-only', '--verify', '--', '/b/box'], True, False, None),
    ('restore', dict(src='/b/box', verify=False), False, UNCHANGED,
     ['restore', '--changed-only', '--', '/b/box'], False, False, None),
    ('restore', dict(src='/b/box'), True, SENT,
     ['restore', '--changed-only', '--verify', '--dry-run', '--', '/b/box'], True, False, None),
    ('restore', dict(src='/b/box'), False, NOT_VERIFIED,
     ['restore', '--changed-only', '--verify', '--', '/b/box'], True, True,
     'config.txt: read back 3 bytes differ'),
]


@pytest.mark.parametrize('module,options,check_mode,document,command,changed,failed,msg', RESULTS)
def test_results_from_the_document(cli, run_action, module, options, check_mode, document,
                                   command, changed, failed, msg):
    cli.answer(document)
    result = run_action(module, options, host_vars(cli), check_mode=check_mode)
    assert cli.commands() == [command]
    assert cli.calls()[0]['password'] == PASSWORD
    assert (result['changed'], bool(result.get('failed')), result.get('msg')) == (changed, failed,
                                                                                  msg)
    assert result['files'] == document['files']
    if module == 'backup' and check_mode:
        assert (result['folder'], result['complete'], result['removed']) == (None, None, [])


# Where the address, the port and the password came from: the names velqo-cli's
# messages use become the task's.
REFUSED_LOGIN = ('the box at 127.0.0.2:1000 refused the password (from VELQO_PASSWORD); '
                 'not --host or --port')


@pytest.mark.parametrize('options,variables,message', [
    ({}, {}, 'the box at 127.0.0.2:1000 refused the password (from velqo_password); '
             'not ansible_host or port'),
    (dict(host=ADDRESS, port=1000), {}, 'the box at 127.0.0.2:1000 refused the password '
                                        '(from velqo_password); not host or port'),
    ({}, dict(velqo_port='1000', ansible_host=None),
     'the box at 127.0.0.2:1000 refused the password (from velqo_password); '
     'not inventory_hostname or velqo_port'),
])
def test_messages_name_what_the_task_wrote(cli, run_action, options, variables, message):
    cli.answer(dict(ok=False, exit=3, files=[], error=REFUSED_LOGIN))
    result = run_action('files_info', options, host_vars(cli, **variables))
    assert result['msg'] == message and result['error'] == message


def test_without_velqo_password_velqo_cli_names_its_own_source(cli, run_action):
    cli.answer(dict(ok=False, exit=3, files=[], error=REFUSED_LOGIN))
    result = run_action('files_info', {}, host_vars(cli, velqo_password=None))
    assert cli.calls()[0]['password'] is None
    assert '(from VELQO_PASSWORD)' in result['msg']


def test_a_run_without_a_document_fails_with_velqo_clis_words(cli, run_action):
    cli.answer_without_document('', 'velqo-cli: --port needs a number\nTry --help\n', 2)
    result = run_action('files_info', dict(port=4000), host_vars(cli))
    assert result['failed']
    assert result['msg'] == ('velqo-cli ended with status 2 without a JSON document: '
                             'velqo-cli: port needs a number')


def test_the_password_is_in_no_argument_and_no_result(cli, run_action):
    cli.answer(NO_LINK)
    result = run_action('backup', dict(dest='/b'), host_vars(cli))
    assert PASSWORD not in str(cli.calls()[0]['argv']) and PASSWORD not in str(result)
