# -*- coding: utf-8 -*-
from __future__ import absolute_import, division, print_function

__metaclass__ = type

from ansible_collections.velqo.box.plugins.plugin_utils.box_action import BoxAction


class ActionModule(BoxAction):
    """velqo.box.files_info: the box's catalogue; reads only, in check mode too."""

    def run_box(self, cli, args):
        return self.outcome(cli.run(['list']), changed=False)
