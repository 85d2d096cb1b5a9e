# -*- coding: utf-8 -*-
# Copyright (c) 2026 the VELQO_LAN_MM authors
# SPDX-License-Identifier: MIT
"""velqo.box.update against a stand-in velqo-cli: the box's copy of src is read
back first, check mode and a box that holds src already send nothing, and the
result is velqo-cli update's steps."""
from __future__ import absolute_import, division, print_function

__metaclass__ = type

import pytest

FIRMWARE = 'update.pkg'
LISTED = dict(ok=True, exit=0, files=[dict(group='Firmware', name=FIRMWARE, type=3),
                                      dict(group='Settings', name='config.txt', type=1)])
NEW, OLD = 'firmware 2\n', 'firmware 1\n'


def step(name, result, failed=False):
    return dict(step=name, result=result, failed=failed, message=result)


UPDATED = dict(ok=True, exit=0, dry_run=False, backup_before='/b/1', backup_after='/b/2',
               box_said=[], changes=[dict(name='config.txt', result='differs')], files=[],
               steps=[step('check', 'checked'), step('send', 'sent'), step('wait', 'back')])
REJECTED = dict(UPDATED, ok=False, exit=1, backup_after=None, changes=[],
                error='send: the box rejected the update: "bad image"',
                steps=[step('check', 'checked'), step('send', 'box-failed', True)])


# The box's copy, check mode, force, update's document: velqo-cli's commands
# after list and get, the result's changed, failed and msg.
@pytest.mark.parametrize('copy,check_mode,force,document,commands,changed,msg', [
    (OLD, True, False, None, [], True, None),
    (NEW, True, True, None, [], False, None),
    (NEW, False, False, None, [], False, None),
    (OLD, False, False, UPDATED, [['update', '--into', '/b', '--wait', '300', '--keep-group',
                                   'Settings', '--', '{}/update.pkg']], True, None),
    (NEW, False, True, REJECTED, [['update', '--into', '/b', '--wait', '300', '--keep-group',
                                   'Settings', '--', '{}/update.pkg']], False,
     'send: the box rejected the update: "bad image"'),
])
def test_update_sends_only_what_differs(cli, run_action, host_vars, tmp_path, copy, check_mode,
                                        force, document, commands, changed, msg):
    (tmp_path / FIRMWARE).write_text(NEW)
    cli.answer(LISTED, dict(ok=True, exit=0, files=[], writes={FIRMWARE: copy}),
               *([document] if document else []))
    result = run_action('update', dict(src=str(tmp_path / FIRMWARE), dest='/b', force=force,
                                       keep_groups=['Settings']),
                        host_vars(cli), check_mode=check_mode)
    assert cli.commands() == [['list'], ['get', '--', FIRMWARE]] + [
        [a.format(tmp_path) for a in c] for c in commands]
    assert (result['changed'], bool(result.get('failed')), result.get('msg')) == (
        changed, msg is not None, msg)
    assert result['same'] == (copy == NEW)
    assert result['steps'] == (document['steps'] if document else [])


# What the box lists, the options: the message, before anything is read back.
@pytest.mark.parametrize('files,options,message', [
    ([dict(group='Settings', name='config.txt', type=1)], {},
     'the box does not list update.pkg: a firmware file is sent under a name the box lists'),
    (LISTED['files'], dict(keep_groups=['Settings', 'Channels']),
     'keep_groups: the box lists no group Channels'),
])
def test_step_one_checks_of_the_box(cli, run_action, host_vars, tmp_path, files, options, message):
    (tmp_path / FIRMWARE).write_text(NEW)
    cli.answer(dict(ok=True, exit=0, files=files))
    result = run_action('update', dict(options, src=str(tmp_path / FIRMWARE), dest='/b'),
                        host_vars(cli), check_mode=True)
    assert result['failed'] and result['msg'] == message
    assert cli.commands() == [['list']]
