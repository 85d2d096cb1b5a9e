# -*- coding: utf-8 -*-
# Copyright (c) 2026 the VELQO_LAN_MM authors
# SPDX-License-Identifier: MIT
# The work is done by the action plugin of the same name on the control node;
# this file documents the module.
from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r'''
---
module: restore
short_description: Restore a backup onto a VELQO set-top box, sending only what differs
description:
  - Checks every file of the backup against its C(SHA256SUMS) (a damaged backup is
    refused before the box is contacted), compares the box with it and uploads only the
    files that differ, with C(velqo-cli --json restore --changed-only). A second run
    right after the first sends nothing.
  - C(changed) when a file was sent.
  - Files the box no longer lists are reported and skipped; the task fails only when such
    a file was named in I(names).
  - One backup folder (a "golden" backup) may be restored onto a whole group of boxes.
options:
  verify:
    description:
      - Read each uploaded file back from the box and compare it byte for byte; a
        difference fails the task.
    type: bool
    default: true
extends_documentation_fragment:
  - velqo.box.box
  - velqo.box.store
  - velqo.box.box.attributes
  - action_common_attributes
  - action_common_attributes.flow
attributes:
  check_mode:
    support: full
    details: Compares and sends nothing; C(changed) when a file differs, and C(files)
      tells which with the result C(would-send). A file that could not be compared
      (the box refused the read, the link was lost) fails the task for that host.
  diff_mode:
    support: full
    details: For each file that is or would be sent, velqo-cli diff's words for it, the
      box's copy before and the backup's after, its control characters escaped; a text
      file as a unified diff, a binary one by its sizes and first differing byte, one too
      different to show line by line, or whose copy on the box cannot be read, named.
'''

EXAMPLES = r'''
# In a play for the group shop_floor: the golden backup onto every box of it.
- name: Restore the golden backup, sending only files that differ, each read back
  velqo.box.restore:
    src: golden/127.0.0.2-20250614-093012

- name: Put back only the settings file from each box's newest backup
  velqo.box.restore:
    src: latest
    dest: backup
    names:
      - config.txt

# See first what would be sent, and how the text files would change:
#   ansible-playbook restore.yml --check --diff
'''

RETURN = r'''
folder:
  description: The backup folder restored from.
  returned: when a backup folder was found
  type: str
  sample: /srv/golden/127.0.0.2-20250614-093012
dry_run:
  description: True in check mode, when nothing was sent.
  returned: success
  type: bool
files:
  description: One entry per file of the backup (or of I(names)).
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
        - C(sent), C(unchanged) (the box has it as in the backup), C(would-send) (check
          mode), C(skipped) (the box does not list it) or C(failed).
      type: str
    size:
      description: The file's size in bytes.
      type: int
    verified:
      description: Whether the box's copy read back the same; null when not read back.
      type: bool
    message:
      description: Why a file failed or was skipped, or what its read-back found (with
        I(verify)); null otherwise.
      type: str
exit:
  description: velqo-cli's exit status (0 all done, 1 refused, failed or not verified).
  returned: always
  type: int
error:
  description: Why the restore ended early (damaged backup, cannot connect or log in).
  returned: when velqo-cli ended early
  type: str
'''
