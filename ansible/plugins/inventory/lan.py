# -*- coding: utf-8 -*-
# Copyright (c) 2026 the VELQO_LAN_MM authors
# SPDX-License-Identifier: MIT
from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r'''
---
name: lan
short_description: VELQO set-top boxes found on the LAN with velqo-cli find
description:
  - Searches the address ranges given with C(velqo-cli --json find) and makes a host
    of each address that answered on the box's port as a box does or may (with
    I(login), C(box), C(busy), C(wrong-password) and C(needs-newer-tool); without it,
    every open port). An address that answered, but not as a box, is left out with a
    warning.
  - Each host is named as C(velqo-cli find --inventory) names it (C(box-10-0-0-7)),
    is in the group C(boxes), which the collection's example playbooks run on, and
    has C(ansible_host) and C(velqo_port) set, so that the collection's modules reach
    it, and the facts the search reports as variables (see the notes).
  - Excluded addresses are never tried; only the ranges named are searched (this
    plugin never searches the control node's own networks unasked).
  - The inventory source is a YAML file whose name ends in C(velqo_lan.yml) or
    C(velqo_lan.yaml).
version_added: 1.1.0
extends_documentation_fragment:
  - constructed
  - inventory_cache
options:
  plugin:
    description: The name of this plugin, to tell its inventory sources.
    type: str
    required: true
    choices:
      - velqo.box.lan
  address:
    description:
      - The ranges to search, each C(A.B.C.D/N) (the hosts of that network, without its
        network and broadcast addresses when N is 30 or less), C(A.B.C.D-E) (the last
        part from D to E) or one address; each address four decimal numbers from 0 to
        255 without leading zeros.
      - At most 65536 addresses; more than 4096, or addresses outside the LAN's
        private ranges and loopback, only with I(wide).
    type: list
    elements: str
    required: true
  exclude:
    description: Ranges of I(address) never to try, in the same forms.
    type: list
    elements: str
    default: []
  port:
    description: The boxes' TCP port.
    type: int
    default: 1000
  login:
    description:
      - Log in to each address that takes the connection (once, with I(password)),
        take its file list and log out, telling boxes from other devices and from
        boxes busy with another client. Without it nothing is sent.
    type: bool
    default: false
  password:
    description:
      - The boxes' password for I(login), one to four digits; it reaches velqo-cli
        in its environment, never on a command line.
      - May be vaulted, or a template such as C("{{ lookup('env', 'SHOP_PIN') }}").
    type: str
    env:
      - name: VELQO_PASSWORD
  timeout:
    description: Milliseconds to wait for each address, 1 to 60000 (velqo-cli's default 500).
    type: int
  parallel:
    description: Connections open at once, 1 to 256 (velqo-cli's default 64).
    type: int
  wide:
    description: Allow more than 4096 addresses, or public ones, on purpose.
    type: bool
    default: false
  store:
    description:
      - The backup store whose newest complete backup of each box gives
        C(velqo_backup) and C(velqo_backup_age); none without it.
      - Relative to the inventory source's folder.
    type: str
  velqo_cli:
    description:
      - Path of the velqo-cli program, relative to the inventory source's folder; else
        C(velqo-cli) found on C(PATH).
    type: str
    env:
      - name: VELQO_CLI
  cli_timeout:
    description: Seconds the search may take, 1 to 604800; a search past it is stopped.
    type: int
    default: 3600
notes:
  - "Each host's variables: C(velqo_result) (C(box), C(open), C(busy), C(wrong-password),
    C(needs-newer-tool)), C(velqo_message) (what the address answered), C(velqo_files)
    (the files a box listed), C(velqo_requires) (the lowest tool version the box
    accepts), C(velqo_backup) (the newest complete backup in I(store): C(folder),
    C(taken), C(age_seconds)) and C(velqo_backup_age) (its age in seconds); null where
    unknown."
  - The plays still need C(velqo_password) for the modules; this plugin's I(password)
    is for the search alone.
requirements:
  - velqo-cli with C(find) (the velqo-tools package) on the control node.
author:
  - VELQO (@velqo)
'''

EXAMPLES = r'''
# shop.velqo_lan.yml: the boxes of the shop's network, by what they answered.
plugin: velqo.box.lan
address:
  - 192.168.1.0/24
exclude:
  - 192.168.1.1
login: true
store: backup
keyed_groups:
  - key: velqo_result
    prefix: found
groups:
  # Boxes without a complete backup of the last day.
  need_backup: velqo_backup_age is none or velqo_backup_age > 86400
compose:
  # The inventory name that velqo.box.backup's box_name keeps across address changes.
  shop_name: inventory_hostname

# test.velqo_lan.yml: substitute boxes on this machine, the search kept an hour.
plugin: velqo.box.lan
address:
  - 127.0.0.2-9
port: 4000
cache: true
cache_plugin: ansible.builtin.jsonfile
cache_connection: /tmp/velqo-lan-cache
cache_timeout: 3600
'''

import os
import tempfile

from ansible.errors import AnsibleParserError
from ansible.module_utils.common.text.converters import to_text
from ansible.plugins.inventory import BaseInventoryPlugin, Cacheable, Constructable

from ansible_collections.velqo.box.plugins.plugin_utils.address_ranges import searched
from ansible_collections.velqo.box.plugins.plugin_utils.velqo_cli import (
    MAX_TIMEOUT_S, PASSWORD_VARIABLE, CliError, check_password, find_cli, in_user_words,
    run_document)

# The group of every box found, as velqo-cli find --inventory names it.
GROUP = 'boxes'
# find's word for an address that answered, but not as a box.
NOT_A_BOX = 'not-a-box'
SOURCE_SUFFIXES = ('velqo_lan.yml', 'velqo_lan.yaml')
# velqo-cli's names for this plugin's options, as its messages may say them.
CLI_WORDS = {'--port': 'port', '--timeout': 'timeout', '--parallel': 'parallel',
             '--wide': 'wide', '--into': 'store', '--login': 'login',
             PASSWORD_VARIABLE: 'password'}


def host_name(address):
    """velqo-cli find --inventory's name for the box at address."""
    return 'box-' + address.replace('.', '-')


class InventoryModule(BaseInventoryPlugin, Constructable, Cacheable):

    NAME = 'velqo.box.lan'

    def verify_file(self, path):
        return super(InventoryModule, self).verify_file(path) and path.endswith(SOURCE_SUFFIXES)

    def parse(self, inventory, loader, path, cache=True):
        super(InventoryModule, self).parse(inventory, loader, path, cache)
        self._read_config_data(path)
        wanted = self.get_option('cache')
        key = self.get_cache_key(path)
        boxes = None
        if wanted and cache:
            boxes = self._cache.get(key)
        if boxes is None:
            try:
                boxes = self._search(os.path.dirname(os.path.abspath(path)))
            except CliError as e:
                raise AnsibleParserError('%s: %s' % (path, in_user_words(str(e), CLI_WORDS)))
            if wanted:
                self._cache[key] = boxes
        self.inventory.add_group(GROUP)
        for box in boxes:
            self._add(box)

    def _search(self, folder):
        """The entries of find's document for the addresses that answered."""
        login = self.get_option('login')
        password = self.get_option('password')
        if password is not None:
            # Text first: a vaulted value decrypts so, and is no template's list.
            password = to_text(password)
            if self.templar.is_template(password):
                password = to_text(self.templar.template(password))
        if login:
            if not password:
                raise CliError('login needs the boxes\' password: the option password or '
                               'VELQO_PASSWORD')
            check_password(password, 'password')
        timeout = self.get_option('cli_timeout')
        if not 1 <= timeout <= MAX_TIMEOUT_S:
            raise CliError('cli_timeout must be from 1 to %d, not %d' % (MAX_TIMEOUT_S, timeout))
        ranges = searched(self.get_option('address'), self.get_option('exclude'))
        if not ranges:
            raise CliError('exclude leaves no address of address to search')
        arguments = ['find'] + (['--login'] if login else []) + (
            ['--wide'] if self.get_option('wide') else [])
        for option in ('timeout', 'parallel'):
            if self.get_option(option) is not None:
                arguments += ['--' + option, str(self.get_option(option))]
        if self.get_option('store'):
            arguments += ['--into', os.path.join(folder, os.path.expanduser(
                self.get_option('store')))]
        velqo_cli = self.get_option('velqo_cli')
        executable = find_cli(velqo_cli and os.path.join(folder, os.path.expanduser(velqo_cli)))
        with tempfile.TemporaryDirectory(prefix='velqo-lan-') as workdir:
            document = run_document(executable, ['--port', str(self.get_option('port'))],
                                    arguments + ['--'] + ranges, password if login else None,
                                    workdir, timeout)
        boxes = document.get('boxes')
        # Exit status 1 and no error: nothing answered, an empty inventory.
        if document.get('error') or document.get('exit') not in (0, 1):
            raise CliError(document.get('error') or
                           'velqo-cli find ended with status %s' % document.get('exit'))
        if not isinstance(boxes, list) or not all(
                isinstance(b, dict) and isinstance(b.get('address'), str) for b in boxes):
            raise CliError('velqo-cli find gave boxes that are not a list of addresses\' entries')
        if not boxes:
            self.display.warning('velqo.box.lan: nothing answered on port %d in %s'
                                 % (self.get_option('port'), ', '.join(ranges)))
        return boxes

    def _add(self, box):
        where = '%s:%s' % (box.get('address'), box.get('port'))
        if box.get('result') == NOT_A_BOX:
            said = box.get('message')
            self.display.warning('velqo.box.lan: %s answered, but not as a box%s; left out'
                                 % (where, ' (%s)' % said if said else ''))
            return
        host = self.inventory.add_host(host_name(box['address']), group=GROUP)
        backup = box.get('backup') if isinstance(box.get('backup'), dict) else None
        facts = dict(ansible_host=box['address'], velqo_port=box.get('port'),
                     velqo_result=box.get('result'), velqo_message=box.get('message'),
                     velqo_files=box.get('files'), velqo_requires=box.get('requires'),
                     velqo_backup=backup,
                     velqo_backup_age=backup.get('age_seconds') if backup else None)
        for name, value in facts.items():
            self.inventory.set_variable(host, name, value)
        strict = self.get_option('strict')
        hostvars = self.inventory.get_host(host).get_vars()
        self._set_composite_vars(self.get_option('compose'), hostvars, host, strict=strict)
        self._add_host_to_composed_groups(self.get_option('groups'), hostvars, host, strict=strict)
        self._add_host_to_keyed_groups(self.get_option('keyed_groups'), hostvars, host,
                                       strict=strict)
