# -*- coding: utf-8 -*-
# Copyright (c) 2026 the VELQO_LAN_MM authors
# SPDX-License-Identifier: MIT
from __future__ import absolute_import, division, print_function

__metaclass__ = type

import filecmp
import os
import stat

from ansible_collections.velqo.box.plugins.plugin_utils.box_action import BoxAction
from ansible_collections.velqo.box.plugins.plugin_utils.velqo_cli import CliError, failure_message

# velqo-cli update's longest --wait.
MAX_WAIT_S = 86400
DEFAULT_WAIT_S = 300
# The send step's results after which the box holds the file, or part of it.
SENT = ('sent', 'sent-no-verdict', 'send-failed')


def firmware_problem(path):
    """Why path cannot be sent as firmware, or None."""
    try:
        mode = os.stat(path).st_mode
    except OSError as e:
        return 'cannot read %s: %s' % (path, e.strerror)
    return None if stat.S_ISREG(mode) else '%s is not a regular file' % path


class ActionModule(BoxAction):
    """velqo.box.update: velqo-cli update when the box's copy of src differs;
    check mode reads the box and sends nothing, makes no backup."""

    OPTIONS = dict(
        src=dict(type='path', required=True),
        keep_groups=dict(type='list', elements='str', default=[]),
        wait_timeout=dict(type='int', default=DEFAULT_WAIT_S),
        force=dict(type='bool', default=False),
        box_name=dict(type='str'),
        dest=dict(type='path', required=True),
    )
    RANGES = dict(wait_timeout=(1, MAX_WAIT_S))
    CLI_WORDS = {'--wait': 'wait_timeout', '--keep-group': 'keep_groups', '--into': 'dest',
                 '--box-name': 'box_name'}
    LOCAL_PATHS = ('src', 'dest')

    def run_box(self, cli, args):
        problem = firmware_problem(args['src'])
        if problem:
            raise CliError('src: %s' % problem)
        if args['wait_timeout'] >= args['cli_timeout']:
            # cli_timeout bounds the whole update: the backups, the upload and the wait.
            raise CliError('wait_timeout (%d s) must be shorter than cli_timeout (%d s)'
                           % (args['wait_timeout'], args['cli_timeout']))
        same = self._box_holds(cli, args['src'], args['keep_groups'])
        if self.check_mode or (same and not args['force']):
            return dict(changed=not same, same=same, dry_run=self.check_mode, steps=[],
                        backup_before=None, backup_after=None, box_said=[], changes=[],
                        files=[])
        arguments = ['update', '--into', args['dest'], '--wait', str(args['wait_timeout'])]
        if args['box_name']:
            arguments += ['--box-name', args['box_name']]
        for group in args['keep_groups']:
            arguments += ['--keep-group', group]
        document = cli.run(arguments + ['--', args['src']])
        steps = [s for s in document.get('steps') or [] if isinstance(s, dict)]
        sent = any(s.get('step') == 'send' and s.get('result') in SENT for s in steps)
        result = self.outcome(document, changed=sent)
        result['same'] = same
        return result

    @staticmethod
    def _box_holds(cli, firmware, keep_groups):
        """Whether the box's copy of firmware (the file of its name the box lists) is
        the same as the local one; the box's checks of step 1, without a backup."""
        name = os.path.basename(firmware)
        listed = cli.run(['list'])
        if not listed.get('ok'):
            raise CliError(failure_message(listed))
        if name not in [e.get('name') for e in listed['files']]:
            raise CliError('the box does not list %s: a firmware file is sent under a name the '
                           'box lists' % name)
        groups = set(e.get('group') for e in listed['files'])
        missing = [g for g in keep_groups if g not in groups]
        if missing:
            raise CliError('keep_groups: the box lists no group %s' % ', '.join(missing))
        # The box's copy, into velqo-cli's temporary working folder.
        got = cli.run(['get', '--', name])
        if not got.get('ok'):
            raise CliError(failure_message(got))
        return filecmp.cmp(os.path.join(cli.workdir, name), firmware, shallow=False)
