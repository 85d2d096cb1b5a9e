# -*- coding: utf-8 -*-
# Copyright (c) 2026 the VELQO_LAN_MM authors
# SPDX-License-Identifier: MIT
"""What the velqo.box action plugins share: each task runs velqo-cli on the
control node against its inventory host, never on the host itself (a box runs
no Python and no SSH)."""
from __future__ import absolute_import, division, print_function

__metaclass__ = type

import os
import re
import tempfile

from ansible.errors import AnsibleActionFail
from ansible.module_utils.common.text.converters import to_text
from ansible.plugins.action import ActionBase

from ansible_collections.velqo.box.plugins.plugin_utils.velqo_cli import (
    DEFAULT_TIMEOUT_S, MAX_TIMEOUT_S, PASSWORD_VARIABLE, CliError, VelqoCli, check_password,
    failure_message, find_cli, in_user_words, latest_backup)

# src's word for the newest complete backup in dest (any other option names a folder).
LATEST = 'latest'
# The options of every module (doc fragment velqo.box.box).
BOX_OPTIONS = dict(
    host=dict(type='str'),
    port=dict(type='int'),
    velqo_cli=dict(type='path'),
    cli_timeout=dict(type='int', default=DEFAULT_TIMEOUT_S),
)
# Their integer options' (lowest, highest) values; the port, which a variable
# may give too, is checked with it.
BOX_RANGES = dict(cli_timeout=(1, MAX_TIMEOUT_S))
PORT_RANGE = (1, 65535)


def check_range(name, value, low, high):
    """Refuses a number outside low..high with a message naming the option or
    variable as the user wrote it."""
    if value is None or low <= value <= high:
        return
    raise CliError('%s must be from %d to %d, not %s' % (name, low, high, value))


def port_number(name, value):
    """A port given as the option (an int) or the variable velqo_port (text)."""
    if value is None or isinstance(value, int):
        number = value
    elif re.fullmatch(r'\s*[0-9]+\s*', value):
        number = int(value)
    else:
        raise CliError('%s must be a port number from %d to %d, not %r'
                       % ((name,) + PORT_RANGE + (value,)))
    check_range(name, number, *PORT_RANGE)
    return number


class BoxAction(ActionBase):
    """Subclasses set OPTIONS, RANGES, CLI_WORDS and LOCAL_PATHS and implement run_box."""

    TRANSFERS_FILES = False
    OPTIONS = {}
    # The module's own integer options and their (lowest, highest) values,
    # checked before velqo-cli runs.
    RANGES = {}
    # velqo-cli's names for this module's options, as its messages may say them.
    CLI_WORDS = {}
    # Options naming folders on the control node: relative to the playbook's folder.
    LOCAL_PATHS = ()
    # Whether src may be the word latest rather than a path.
    SRC_MAY_BE_LATEST = False

    def run(self, tmp=None, task_vars=None):
        result = super(BoxAction, self).run(tmp, task_vars)
        del tmp
        self._vars = task_vars or {}
        words = dict(self.CLI_WORDS)
        try:
            _, args = self.validate_argument_spec(argument_spec=dict(BOX_OPTIONS, **self.OPTIONS))
            for name, limits in dict(BOX_RANGES, **self.RANGES).items():
                check_range(name, args[name], *limits)
            for name in self.LOCAL_PATHS:
                if args.get(name) and not (name == 'src' and self.SRC_MAY_BE_LATEST and
                                            args[name] == LATEST):
                    # Absolute: velqo-cli runs in a temporary folder, and the basedir
                    # of an ad-hoc run is '.'. src is no path option: its ~ is ours.
                    args[name] = os.path.abspath(os.path.join(
                        self._loader.get_basedir(), os.path.expanduser(args[name])))
            executable = find_cli(args['velqo_cli'] or self._var('velqo_cli'))
            host, words['--host'] = self._box_host()
            port, words['--port'] = self._first('port', args, 'velqo_port')
            port = port_number(words['--port'], port)
            # Never an option and never in a result: the password goes from the
            # (vault-able) variable into velqo-cli's environment only.
            password = self._var('velqo_password')
            check_password(password, 'velqo_password')
            if password is not None:
                words[PASSWORD_VARIABLE] = 'velqo_password'
            with tempfile.TemporaryDirectory(prefix='velqo-box-') as workdir:
                cli = VelqoCli(executable, host, port, password, workdir,
                               timeout=args['cli_timeout'], words=words)
                result.update(self.run_box(cli, args))
        except AnsibleActionFail as e:  # an option that does not validate
            # Its message only: its traceback is of nothing (no exception was being handled).
            result.update(failed=True, msg=e.result['msg'])
        except CliError as e:
            result.update(failed=True, msg=str(e))
        for key in ('msg', 'error'):
            if result.get(key):
                result[key] = in_user_words(result[key], words)
        return result

    def run_box(self, cli, args):
        raise NotImplementedError

    def _first(self, option, args, *variables):
        """(value, its name) of the option if given, else of the first variable set."""
        if args[option] is not None:
            return args[option], option
        for name in variables:
            value = self._var(name)
            if value is not None:
                return value, name
        return None, option

    def _var(self, name):
        value = self._templated(self._vars.get(name))
        return None if value is None else to_text(value)

    def _templated(self, value):
        # A vaulted value or "{{ ... }}" reads as plain text.
        return None if value is None else self._templar.template(value)

    def _box_host(self):
        """The box's address and where the user wrote it, for messages about it
        (velqo-cli checks the address, and names it as its own --host)."""
        inventory_name = self._var('inventory_hostname')
        # Ansible fills ansible_host with the inventory name when none was set.
        ansible_host = self._vars.get('ansible_host')
        if ansible_host == inventory_name:
            ansible_host = None
        written = (('host', self._task.args.get('host')),
                   ('ansible_host', ansible_host),
                   ('inventory_hostname', inventory_name))
        for origin, raw in written:
            value = self._templated(raw)
            # YAML and INI inventories read 0x7f000001 or 0177 as numbers: velqo-cli
            # would be given another text than the one written.
            if isinstance(value, (int, float)) and not isinstance(value, bool):
                raise CliError('%s was read as the number %s, not as an address: write the '
                               'box\'s address in quotes, as four decimal numbers from 0 to 255 '
                               'separated by dots' % (origin, value))
            if value:
                return to_text(value), origin
        return None, 'host'

    @property
    def check_mode(self):
        return bool(self._task.check_mode)

    @property
    def diff_mode(self):
        return bool(self._task.diff)

    @staticmethod
    def outcome(document, changed, failed=None):
        """The task's result from the CLI's document."""
        result = dict(document)
        result['changed'] = changed
        if failed is None:
            failed = not document.get('ok')
        if failed:
            result['failed'] = True
            result['msg'] = failure_message(document)
        return result

    @staticmethod
    def backup_folder(cli, args):
        """src as given, or the newest complete backup of cli's box in dest for 'latest'."""
        if args['src'] != LATEST:
            return args['src']
        if not args.get('dest'):
            raise CliError('src: latest needs dest, the folder holding the backups')
        return latest_backup(cli, args['dest'], args.get('box_name'))
