# -*- coding: utf-8 -*-
# Copyright (c) 2026 the VELQO_LAN_MM authors
# SPDX-License-Identifier: MIT
"""velqo.box.lan against a stand-in velqo-cli: what find is asked, the hosts and
groups made of its document, and the inventory cache."""
from __future__ import absolute_import, division, print_function

__metaclass__ = type

import json

import pytest
from ansible.errors import AnsibleParserError
from ansible.inventory.data import InventoryData
from ansible.parsing.dataloader import DataLoader
from ansible.plugins.loader import inventory_loader


def entry(address, result, files=None, backup=None):
    return dict(address=address, port=4000, result=result, message=None, files=files,
                requires='1.1' if files is not None else None, backup=backup)


BACKUP = dict(folder='/b/127.0.0.2+4000-20261208-090000', taken='2026-12-08 09:00:00',
              age_seconds=90000)
FOUND = dict(ok=True, exit=0, files=[], ranges=['127.0.0.1-9'], boxes=[
    entry('127.0.0.2', 'box', 12, BACKUP), entry('127.0.0.3', 'busy'),
    entry('127.0.0.4', 'not-a-box')])


def source(tmp_path, cli, **options):
    path = tmp_path / 'test.velqo_lan.yml'
    path.write_text(json.dumps(dict(dict(plugin='velqo.box.lan', velqo_cli=cli.path,
                                         address=['127.0.0.0/28']), **options)))
    return str(path)


def parse(path):
    inventory = InventoryData()
    plugin = inventory_loader.get('velqo.box.lan')
    assert plugin.verify_file(path)
    plugin.parse(inventory, DataLoader(), path, cache=True)
    # As Ansible's inventory manager does after each source.
    plugin.update_cache_if_changed()
    return inventory


def test_hosts_groups_and_facts_from_find(cli, tmp_path, monkeypatch):
    monkeypatch.setenv('VELQO_PASSWORD', '1357')
    cli.answer(FOUND)
    inventory = parse(source(tmp_path, cli, login=True, port=4000, timeout=200,
                             exclude=['127.0.0.10-14'], store='backup',
                             keyed_groups=[dict(key='velqo_result', prefix='found')],
                             groups=dict(need_backup='velqo_backup_age is none'),
                             compose=dict(files_seen='velqo_files')))
    assert cli.commands() == [['find', '--login', '--timeout', '200', '--into',
                               str(tmp_path / 'backup'), '--', '127.0.0.1-9']]
    assert [c['argv'][1:3] for c in cli.calls()] == [['--port', '4000']]
    assert cli.calls()[0]['password'] == '1357'
    box = inventory.get_host('box-127-0-0-2').get_vars()
    assert dict((k, box[k]) for k in ('ansible_host', 'velqo_port', 'velqo_result', 'velqo_files',
                                      'velqo_backup', 'velqo_backup_age', 'files_seen')) == dict(
        ansible_host='127.0.0.2', velqo_port=4000, velqo_result='box', velqo_files=12,
        velqo_backup=BACKUP, velqo_backup_age=90000, files_seen=12)
    groups = dict((name, sorted(h.name for h in g.get_hosts()))
                  for name, g in inventory.groups.items())
    # Not the look-alike at 127.0.0.4.
    assert (groups['boxes'], groups['found_box'], groups['found_busy'], groups['need_backup']) == (
        ['box-127-0-0-2', 'box-127-0-0-3'], ['box-127-0-0-2'], ['box-127-0-0-3'],
        ['box-127-0-0-3'])


# Options, find's document: the message, in the inventory's words.
@pytest.mark.parametrize('options,document,message', [
    (dict(login=True), None, "login needs the boxes' password"),
    (dict(exclude=['127.0.0.0/24']), None, 'exclude leaves no address of address to search'),
    (dict(timeout=0), dict(ok=False, exit=2, files=[], error="--timeout needs milliseconds from "
                           "1 to 60000, not '0'"), "timeout needs milliseconds from 1 to 60000"),
])
def test_a_search_that_cannot_be_made_fails_the_source(cli, tmp_path, monkeypatch, options,
                                                       document, message):
    monkeypatch.delenv('VELQO_PASSWORD', raising=False)
    if document:
        cli.answer(document)
    with pytest.raises(AnsibleParserError) as e:
        parse(source(tmp_path, cli, **options))
    assert message in str(e.value)
    assert len(cli.calls()) == (1 if document else 0)


def test_nothing_answered_is_an_empty_inventory(cli, tmp_path):
    cli.answer(dict(ok=False, exit=1, files=[], error=None, ranges=['127.0.0.1-14'], boxes=[]))
    assert parse(source(tmp_path, cli)).hosts == {}


def test_the_cache_answers_a_second_parse(cli, tmp_path):
    cli.answer(FOUND)
    path = source(tmp_path, cli, cache=True, cache_plugin='ansible.builtin.jsonfile',
                  cache_connection=str(tmp_path / 'cache'))
    first, second = parse(path), parse(path)
    assert len(cli.calls()) == 1
    assert sorted(second.hosts) == sorted(first.hosts) == ['box-127-0-0-2', 'box-127-0-0-3']
