# -*- coding: utf-8 -*-
# Copyright (c) 2026 the VELQO_LAN_MM authors
# SPDX-License-Identifier: MIT
from __future__ import absolute_import, division, print_function

__metaclass__ = type

from ansible_collections.velqo.box.plugins.plugin_utils.velqo_cli import ansible_diffs, box_diff
from ansible_collections.velqo.box.plugins.plugin_utils.box_action import BoxAction


class ActionModule(BoxAction):
    """velqo.box.restore: only the backup's files that differ from the box are
    sent; check mode compares and sends nothing."""

    OPTIONS = dict(
        box_name=dict(type='str'),
        src=dict(type='str', required=True),
        dest=dict(type='path'),
        names=dict(type='list', elements='str', default=[]),
        verify=dict(type='bool', default=True),
    )
    LOCAL_PATHS = ('src', 'dest')
    SRC_MAY_BE_LATEST = True

    def run_box(self, cli, args):
        folder = self.backup_folder(cli, args)
        # The box's copies as they are before anything is sent.
        before = box_diff(cli, folder) if self.diff_mode else None
        arguments = ['restore', '--changed-only']
        if args['verify']:
            arguments.append('--verify')
        if self.check_mode:
            arguments.append('--dry-run')
        document = cli.run(arguments + ['--', folder] + args['names'])
        # A dry run that failed changed nothing, whatever it would have sent.
        changed = bool(document.get('changed')) and (document.get('ok') or not self.check_mode)
        result = self.outcome(document, changed=changed)
        if self.diff_mode:
            sent = [e.get('name') for e in document.get('files') or []
                    if e.get('result') in ('sent', 'would-send')]
            result['diff'] = ansible_diffs(cli, folder, before, sent)
        return result
