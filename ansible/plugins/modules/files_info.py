# -*- coding: utf-8 -*-
# Copyright (c) 2026 the VELQO_LAN_MM authors
# SPDX-License-Identifier: MIT
# The work is done by the action plugin of the same name on the control node;
# this file documents the module.
from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r'''
---
module: files_info
short_description: List the files of a VELQO set-top box
description:
  - Logs in to the box with C(velqo-cli --json list) and returns its catalogue, every file
    the box offers, with its group and type code.
  - Reads only; never changed.
extends_documentation_fragment:
  - velqo.box.box
  - velqo.box.box.attributes
  - action_common_attributes
  - action_common_attributes.flow
attributes:
  check_mode:
    support: full
    details: Lists the box in check mode too, as it changes nothing.
  diff_mode:
    support: none
'''

EXAMPLES = r'''
- name: Read every box's catalogue
  velqo.box.files_info:
  register: catalogue

- name: Show the text files of each box
  ansible.builtin.debug:
    msg: "{{ catalogue.files | selectattr('type', 'equalto', 1) | map(attribute='name') | list }}"

- name: A box that is not in the inventory, on another port
  velqo.box.files_info:
    host: 127.0.0.1
    port: 4000
'''

RETURN = r'''
files:
  description: The box's files in list order.
  returned: success
  type: list
  elements: dict
  contains:
    group:
      description: The group the box shows the file in.
      type: str
      sample: Settings
    name:
      description: The file's name.
      type: str
      sample: config.txt
    type:
      description: The type code; 1 is a text file, 0 and 2 are binary files with icons.
      type: int
      sample: 1
exit:
  description: velqo-cli's exit status (0 all done, 1 refused or failed, 2 usage, 3 no login).
  returned: always
  type: int
  sample: 0
error:
  description: Why the command ended early (cannot resolve, connect or log in).
  returned: when velqo-cli ended early
  type: str
  sample: "could not connect to 127.0.0.9:1000"
'''
