# -*- coding: utf-8 -*-
"""What the velqo.box action plugins share: each task runs velqo-cli on the
control node against its inventory host, never on the host itself (a box runs
no Python and no SSH)."""
from __future__ import absolute_import, division, print_function

__metaclass__ = type

import os
import tempfile

from ansible.errors import AnsibleActionFail
from ansible.module_utils.common.text.converters import to_text
from ansible.plugins.action import ActionBase

from ansible_collections.velqo.box.plugins.module_utils.velqo_cli import (
    CliError, VelqoCli, failure_message, find_cli, latest_backup)

# The options of every module (doc fragment velqo.box.box).
BOX_OPTIONS = dict(
    host=dict(type='str'),
    port=dict(type='int'),
    velqo_cli=dict(type='path'),
)


class BoxAction(ActionBase):
    """Subclasses set OPTIONS and LOCAL_PATHS and implement run_box."""

    TRANSFERS_FILES = False
    OPTIONS = {}
    # Options naming folders on the control node: relative to the playbook's folder.
    LOCAL_PATHS = ()

    def run(self, tmp=None, task_vars=None):
        result = super(BoxAction, self).run(tmp, task_vars)
        del tmp
        self._vars = task_vars or {}
        try:
            _, args = self.validate_argument_spec(argument_spec=dict(BOX_OPTIONS, **self.OPTIONS))
            for name in self.LOCAL_PATHS:
                if args.get(name) and args[name] != 'latest' and not os.path.isabs(args[name]):
                    args[name] = os.path.join(self._loader.get_basedir(), args[name])
            executable = find_cli(args['velqo_cli'] or self._var('velqo_cli'))
            host = args['host'] or self._var('ansible_host') or self._var('inventory_hostname')
            # Never an option and never in a result: the password goes from the
            # (vault-able) variable into velqo-cli's environment only.
            password = self._var('velqo_password')
            with tempfile.TemporaryDirectory(prefix='velqo-box-') as workdir:
                cli = VelqoCli(executable, host, args['port'] or self._var('velqo_port'),
                               password, workdir)
                result.update(self.run_box(cli, args))
        except AnsibleActionFail as e:  # an option that does not validate
            # Its message only: its traceback is of nothing (no exception was being handled).
            result.update(failed=True, msg=e.result['msg'])
        except CliError as e:
            result.update(failed=True, msg=str(e))
        return result

    def run_box(self, cli, args):
        raise NotImplementedError

    def _var(self, name):
        value = self._vars.get(name)
        if value is None:
            return None
        # Templated (a vaulted value or "{{ ... }}" reads as plain text).
        return to_text(self._templar.template(value))

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
        if args['src'] != 'latest':
            return args['src']
        if not args.get('dest'):
            raise CliError('src: latest needs dest, the folder holding the backups')
        return latest_backup(cli, args['dest'])
