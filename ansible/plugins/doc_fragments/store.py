# -*- coding: utf-8 -*-
# Copyright (c) 2026 the VELQO_LAN_MM authors
# SPDX-License-Identifier: MIT
from __future__ import absolute_import, division, print_function

__metaclass__ = type


class ModuleDocFragment(object):
    # A backup taken from the backup store: what the modules that read one take.
    DOCUMENTATION = r'''
options:
  src:
    description:
      - The backup folder, as M(velqo.box.backup) makes it.
      - C(latest) takes the newest complete backup of this box (its address and port)
        in I(dest), as C(velqo-cli backups) finds it.
      - Relative to the playbook's folder unless absolute.
    type: str
    required: true
  box_name:
    description:
      - The box's name in the backup store, as M(velqo.box.backup) was given it; I(src=latest)
        is then the newest complete backup of that name rather than of the box's address.
    type: str
  dest:
    description:
      - The folder holding the backups, where I(src=latest) looks.
    type: path
  names:
    description:
      - Only these files of the backup; all of them when empty.
    type: list
    elements: str
    default: []
'''
