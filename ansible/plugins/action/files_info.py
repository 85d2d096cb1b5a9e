# -*- coding: utf-8 -*-
# Copyright (c) 2026 the VELQO_LAN_MM authors
# SPDX-License-Identifier: MIT
from __future__ import absolute_import, division, print_function

__metaclass__ = type

from ansible_collections.velqo.box.plugins.plugin_utils.box_action import BoxAction


class ActionModule(BoxAction):
    """velqo.box.files_info: the box's catalogue; reads only, in check mode too."""

    def run_box(self, cli, args):
        return self.outcome(cli.run(['list']), changed=False)
