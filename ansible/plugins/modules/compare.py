# -*- coding: utf-8 -*-
# Copyright (c) 2026 the VELQO_LAN_MM authors
# SPDX-License-Identifier: MIT
# The work is done by the action plugin of the same name on the control node;
# this file documents the module.
from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r'''
---
module: compare
short_description: Compare a VELQO set-top box with a backup
description:
  - Reads each file back from the box with C(velqo-cli --json compare) and compares it
    with the backup by SHA-256. Nothing is written, neither on the box nor on the
    control node (the box's copies live in a temporary folder that never stays).
  - Reads only, so never C(changed); C(same) tells whether the box matches. A playbook
    that wants the differing boxes in its recap, and their diffs shown, registers the
    result and adds C(changed_when) set to C(not RESULT.same) (see the examples).
  - Fails when the backup is damaged (a file does not match its C(SHA256SUMS)) or a file
    cannot be read from the box.
extends_documentation_fragment:
  - velqo.box.box
  - velqo.box.store
  - velqo.box.box.attributes
  - action_common_attributes
  - action_common_attributes.flow
attributes:
  check_mode:
    support: full
    details: Compares in check mode too, as it changes nothing.
  diff_mode:
    support: full
    details: For each file that differs, velqo-cli diff's words for it, the box's
      copy before and the backup's after, its control characters escaped; a text file
      as a unified diff, a binary one by its sizes and first differing byte, one too
      different to show line by line, or whose copy on the box cannot be read, named.
      Ansible shows a task's diff only when the task is changed, so the task needs
      C(changed_when) set to C(not RESULT.same) for its diff to be shown.
'''

EXAMPLES = r'''
- name: Compare every box with its newest backup
  velqo.box.compare:
    src: latest
    dest: backup
  register: compared
  changed_when: not compared.same

# With diff: true (or --diff), the differences of text files are shown for the
# boxes that are changed, which changed_when makes of the boxes that differ.
- name: Compare the settings of the shop's boxes with a golden backup, showing the differences
  velqo.box.compare:
    src: golden/127.0.0.2-20250614-093012
    names:
      - config.txt
      - favourites.txt
  diff: true
  register: settings
  changed_when: not settings.same
'''

RETURN = r'''
folder:
  description: The backup folder compared with.
  returned: when a backup folder was found
  type: str
  sample: /srv/backups/127.0.0.2-20250614-093012
same:
  description: Whether every file is the same on the box and in the backup.
  returned: success
  type: bool
  sample: false
files:
  description: One entry per file of the backup or the box.
  returned: success
  type: list
  elements: dict
  contains:
    group:
      description: The file's group, as the backup or the box lists it.
      type: str
    name:
      description: The file's name.
      type: str
    type:
      description: The box's type code of the file (1 a text file).
      type: int
    result:
      description:
        - C(same), C(differs), C(missing-on-box) (in the backup, not listed by the box),
          C(only-on-box) (listed by the box, not in the backup) or C(failed).
      type: str
    message:
      description: Why a file failed; null otherwise.
      type: str
exit:
  description: velqo-cli's exit status (0 all the same, 1 something differs or failed).
  returned: always
  type: int
error:
  description: Why the comparison ended early (damaged backup, cannot connect or log in).
  returned: when velqo-cli ended early
  type: str
'''
