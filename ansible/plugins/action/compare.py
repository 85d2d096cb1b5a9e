# -*- coding: utf-8 -*-
# Copyright (c) 2026 the VELQO_LAN_MM authors
# SPDX-License-Identifier: MIT
from __future__ import absolute_import, division, print_function

__metaclass__ = type

from ansible_collections.velqo.box.plugins.plugin_utils.velqo_cli import ansible_diffs, box_diff
from ansible_collections.velqo.box.plugins.plugin_utils.box_action import BoxAction

# compare's outcomes that are differences, not failures.
DIFFERENCES = ('differs', 'missing-on-box', 'only-on-box')


class ActionModule(BoxAction):
    """velqo.box.compare: the box against a backup; reads only, never changed."""

    OPTIONS = dict(
        box_name=dict(type='str'),
        src=dict(type='str', required=True),
        dest=dict(type='path'),
        names=dict(type='list', elements='str', default=[]),
    )
    LOCAL_PATHS = ('src', 'dest')
    SRC_MAY_BE_LATEST = True

    def run_box(self, cli, args):
        folder = self.backup_folder(cli, args)
        document = cli.run(['compare', '--', folder] + args['names'])
        states = [entry.get('result') for entry in document.get('files') or []]
        # Exit status 1 stands for differences as well as failures.
        failed = (bool(document.get('error')) or 'failed' in states or
                  document.get('exit') not in (0, 1) or
                  (document.get('exit') == 1 and not any(s in DIFFERENCES for s in states)))
        result = self.outcome(document, changed=False, failed=failed)
        if self.diff_mode and not failed:
            differing = [e.get('name') for e in document.get('files') or []
                         if e.get('result') in DIFFERENCES]
            result['diff'] = (ansible_diffs(cli, folder, box_diff(cli, folder), differing)
                              if differing else [])
        return result
