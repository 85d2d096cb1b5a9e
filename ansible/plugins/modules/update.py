# -*- coding: utf-8 -*-
# Copyright (c) 2026 the VELQO_LAN_MM authors
# SPDX-License-Identifier: MIT
# The work is done by the action plugin of the same name on the control node;
# this file documents the module.
from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r'''
---
module: update
short_description: Update the firmware of a VELQO set-top box, backed up before and after
description:
  - Updates the box's firmware with C(velqo-cli --json update) in steps, each reported in
    I(steps) - C(check) (the box lists the file's name and every group of I(keep_groups);
    a complete, checked backup into I(dest)), C(send) (the file, then the box's processing
    messages), C(wait) (for the box to come back after its restart, at most
    I(wait_timeout)), C(compare) (the box against the backup), C(put-back) (the files of
    I(keep_groups) the update changed, each read back) and C(backup-after). A step that
    fails ends the update there and fails the task with its message, which says what the
    box may hold and where the backup is.
  - Before anything else the box's copy of I(src) (the file the box lists under I(src)'s
    name) is read back and compared with I(src); when they are the same, nothing is sent
    and no backup made, unless I(force).
  - C(changed) when the file was sent (also when its sending failed part way, as the box
    may hold part of it); a box that refused or rejected the update is as it was.
  - An update restarts the box, and with many boxes at once a bad firmware file would
    take them all down - run it a few boxes at a time with C(serial) in the play (see the
    examples). A box whose update fails fails alone and the others go on, unless a whole
    batch failed (Ansible then ends the play) or C(max_fail_percentage) says to stop sooner.
options:
  src:
    description:
      - The firmware file on the control node. The box takes it under its file name, which
        the box must list (as for every upload).
      - Relative to the playbook's folder unless absolute.
    type: path
    required: true
  keep_groups:
    description:
      - Groups of the box (C(Settings), C(Channels)...) whose files the update changed are
        put back from the backup made before it, each read back and verified. Without it,
        I(steps) names the changed files and the command that would put them back.
    type: list
    elements: str
    default: []
  wait_timeout:
    description:
      - The longest wait, in seconds from 1 to 86400, for the box to come back after the
        update; it is tried every 2 s. Shorter than I(cli_timeout), which bounds the whole
        update, backups and upload included.
    type: int
    default: 300
  force:
    description:
      - Send I(src) even when the box's copy is the same.
    type: bool
    default: false
  box_name:
    description:
      - The box's name in the backup store in place of its address, as M(velqo.box.backup)
        takes it, for the backups before and after the update.
    type: str
  dest:
    description:
      - The backup store in which the backups before and after the update are made.
      - Relative to the playbook's folder unless absolute.
    type: path
    required: true
extends_documentation_fragment:
  - velqo.box.box
  - velqo.box.box.attributes
  - action_common_attributes
  - action_common_attributes.flow
attributes:
  check_mode:
    support: full
    details: Checks I(src), that the box lists its name and the groups of I(keep_groups),
      and reads back the box's copy; makes no backup and sends nothing. C(changed) when
      the box's copy differs from I(src).
  diff_mode:
    support: none
'''

EXAMPLES = r'''
# Two boxes at a time: a bad firmware file takes down two boxes, not the shop.
- name: Update the shop's boxes, keeping their settings and channel lists
  hosts: boxes
  gather_facts: false
  serial: 2
  tasks:
    - name: Update the firmware, backed up before and after
      velqo.box.update:
        src: firmware/update.pkg
        dest: backup
        keep_groups:
          - Settings
          - Channels
        wait_timeout: 600
      register: updated

    - name: What the update changed
      ansible.builtin.debug:
        msg: "{{ updated.changes }}"
      when: updated.changes

# Which boxes would be updated:
#   ansible-playbook update.yml --check
'''

RETURN = r'''
same:
  description: Whether the box's copy of I(src) was the same as I(src) before the task.
  returned: success
  type: bool
dry_run:
  description: True in check mode, when nothing was sent.
  returned: success
  type: bool
steps:
  description:
    - The steps that ran, in order; a failed or stopped one is the last. Empty in check
      mode and when the box already held I(src).
  returned: always
  type: list
  elements: dict
  contains:
    step:
      description: C(check), C(send), C(wait), C(compare), C(put-back) or C(backup-after).
      type: str
    result:
      description: velqo-cli's word for its outcome (C(checked), C(sent), C(box-failed),
        C(back), C(never-back), C(password-refused), C(compared), C(put-back),
        C(not-kept), C(backed-up)...).
      type: str
    failed:
      description: Whether the update stopped at this step.
      type: bool
    message:
      description: The outcome in words, with what to do after a failure.
      type: str
backup_before:
  description: The backup folder made before the update; null when none was made.
  returned: always
  type: str
  sample: /srv/backup/127.0.0.2-20261209-081500
backup_after:
  description: The backup folder made after the update; null when none was made.
  returned: always
  type: str
box_said:
  description: The box's processing messages after the upload.
  returned: always
  type: list
  elements: dict
  contains:
    text:
      description: The message.
      type: str
    percent:
      description: How far the box is, 0 to 100; null when it does not say.
      type: int
    status:
      description: 2 more to come, 3 done, 4 or more failed.
      type: int
changes:
  description: The files the update changed, against the backup made before it.
  returned: always
  type: list
  elements: dict
  contains:
    name:
      description: The file's name.
      type: str
    result:
      description: C(differs), C(only-on-box) (new), C(missing-on-box) (gone) or C(failed).
      type: str
files:
  description: The files put back, each read back.
  returned: always
  type: list
  elements: dict
  contains:
    name:
      description: The file's name.
      type: str
    result:
      description: C(sent), C(skipped), C(failed) or C(refused).
      type: str
    verified:
      description: Whether the box's copy read back the same.
      type: bool
    message:
      description: Why a file failed or was skipped; null otherwise.
      type: str
exit:
  description: velqo-cli's exit status (0 every step worked, 1 a step failed).
  returned: when velqo-cli update ran
  type: int
error:
  description: The failed step and why.
  returned: when a step failed
  type: str
'''
