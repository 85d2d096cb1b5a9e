# -*- coding: utf-8 -*-
# Copyright (c) 2026 the VELQO_LAN_MM authors
# SPDX-License-Identifier: MIT
from __future__ import absolute_import, division, print_function

__metaclass__ = type

import os

from ansible_collections.velqo.box.plugins.plugin_utils.box_action import BoxAction
from ansible_collections.velqo.box.plugins.plugin_utils.velqo_cli import CliError

# velqo-cli's --keep takes up to six digits.
MAX_KEEP = 999999


class ActionModule(BoxAction):
    """velqo.box.backup: a new backup folder in dest; changed when one was made."""

    OPTIONS = dict(
        box_name=dict(type='str'),
        dest=dict(type='path', required=True),
        keep=dict(type='int'),
        git=dict(type='path'),
        git_exclude=dict(type='list', elements='str', default=[]),
    )
    RANGES = dict(keep=(1, MAX_KEEP))
    CLI_WORDS = {'--keep': 'keep', '--into': 'dest', '--box-name': 'box_name'}
    LOCAL_PATHS = ('dest', 'git')

    def run_box(self, cli, args):
        if self.check_mode:
            # Nothing is made: the box's list tells what a backup would hold.
            document = cli.run(['list'])
            result = self.outcome(document, changed=bool(document.get('ok')))
            result.update(folder=None, complete=None, removed=[], changes=None, git=None)
            return result
        # Made as Ansible's fetch makes its dest (a per-host store such as
        # backups/{{ inventory_hostname }}); velqo-cli's --into makes only its last folder.
        try:
            os.makedirs(args['dest'], exist_ok=True)
        except OSError as e:
            raise CliError('cannot make dest %s: %s' % (args['dest'], e.strerror))
        # --report: the changes since the box's previous complete backup.
        arguments = ['backup', '--report', '--into', args['dest']]
        if args['box_name']:
            arguments += ['--box-name', args['box_name']]
        if args['git']:
            # velqo-cli commits under a lock in the repository, so forks take turns.
            arguments += ['--git', args['git']]
            for group in args['git_exclude']:
                arguments += ['--git-exclude', group]
        if args['keep'] is not None:
            arguments += ['--keep', str(args['keep'])]
        document = cli.run(arguments)
        return self.outcome(document, changed=bool(document.get('folder')))
