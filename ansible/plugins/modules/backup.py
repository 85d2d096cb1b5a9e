# -*- coding: utf-8 -*-
# Copyright (c) 2026 the VELQO_LAN_MM authors
# SPDX-License-Identifier: MIT
# The work is done by the action plugin of the same name on the control node;
# this file documents the module.
from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r'''
---
module: backup
short_description: Back up every file of a VELQO set-top box
description:
  - Downloads every file the box lists, in one session, into a new folder
    C(DEST/HOST-YYYYMMDD-HHMMSS) with C(velqo-cli --json backup). Beside the files the
    folder holds C(manifest.txt) (C(velqo-boxsim --folder) serves it as the box was) and
    C(SHA256SUMS).
  - A backup that lacks files keeps the file C(INCOMPLETE), which names them, and the task
    fails; it is still C(changed), as a folder was made.
  - C(changed) whenever a backup folder was made.
options:
  box_name:
    description:
      - The box's name in the backup store in place of its address, for example
        C("{{ inventory_hostname }}"), which stays when DHCP gives the box another address.
        Its folders are then named C(NAME-YYYYMMDD-HHMMSS) (letters, digits, C(.), C(-) and
        C(_); anything else becomes C(_)).
      - I(keep), and I(src=latest) in M(velqo.box.compare) and M(velqo.box.restore), count
        the backups of this name only.
    type: str
  dest:
    description:
      - The backup store in which the backup folder is made, named C(HOST-YYYYMMDD-HHMMSS),
        or C(HOST+PORT-YYYYMMDD-HHMMSS) for a box on another port than 1000.
      - Made when missing, with the folders above it, as M(ansible.builtin.fetch) makes its
        I(dest), so that C(backup/{{ inventory_hostname }}) is a store per host.
      - Relative to the playbook's folder unless absolute.
    type: path
    required: true
  keep:
    description:
      - After a complete backup, remove the oldest complete backups of the same box in
        I(dest) so that this many remain, the new one among them; 1 to 999999.
      - Incomplete backups are neither counted nor removed.
      - The same box is the same address and port. Backups newer than the new one are
        never removed; of a removed backup only its own files go, and anything else in
        its folder is kept and named in a warning.
      - Without it, nothing is removed.
    type: int
  git:
    description:
      - After a complete backup, commit its files into this git repository on the control
        node (made if missing), in a folder per box named as the store names it, with the
        files that changed as the commit message and the backup's time as its date. A box
        that did not change makes no commit. Runs of many hosts take turns (a lock in the
        repository), one commit per host.
      - Relative to the playbook's folder unless absolute. Needs git on the control node.
    type: path
  git_exclude:
    description:
      - Groups of the box whose files stay out of the git repository (firmware images,
        say); the backup still holds them.
    type: list
    elements: str
    default: []
extends_documentation_fragment:
  - velqo.box.box
  - velqo.box.box.attributes
  - action_common_attributes
  - action_common_attributes.flow
attributes:
  check_mode:
    support: full
    details: Makes no folder and downloads nothing; lists the box to return the files a
      backup would hold, and reports C(changed).
  diff_mode:
    support: none
'''

EXAMPLES = r'''
- name: Back up every box, keeping its ten newest backups
  velqo.box.backup:
    dest: backup
    keep: 10
  register: backup

- name: Where each box's backup went
  ansible.builtin.debug:
    var: backup.folder

- name: Back up every box nightly into the store and its history into git
  velqo.box.backup:
    dest: backup
    git: history
    git_exclude: [Firmware]
  register: nightly

- name: What changed on each box
  ansible.builtin.debug:
    var: nightly.changes
'''

RETURN = r'''
folder:
  description: The backup folder made (null in check mode, or when none could be made).
  returned: always
  type: str
  sample: /srv/backups/127.0.0.2-20250614-093012
complete:
  description: Whether every listed file was saved (null in check mode).
  returned: always
  type: bool
  sample: true
files:
  description:
    - One entry per file the box listed.
    - In check mode the box's list (C(group), C(name), C(type)) only.
  returned: success or a partial backup
  type: list
  elements: dict
  contains:
    group:
      description: The file's group on the box.
      type: str
    name:
      description: The file's name.
      type: str
    type:
      description: The file's type code (1 text).
      type: int
    size:
      description: Bytes saved.
      type: int
    sha256:
      description: SHA-256 of the saved file, as in C(SHA256SUMS).
      type: str
    result:
      description: C(saved) or C(failed) (I(message) says why, for instance a box file
        named like one of the backup's own files).
      type: str
    message:
      description: Why a file failed or was skipped; null otherwise.
      type: str
changes:
  description:
    - The files that changed since the box's previous complete backup in I(dest); null
      for its first backup, in check mode, and when the backup is incomplete.
  returned: always
  type: list
  elements: dict
  contains:
    name:
      description: The file's name.
      type: str
    result:
      description: C(changed), C(added) or C(removed).
      type: str
git:
  description: With I(git), the repository and the commit made (C(commit) null when the box
    did not change; C(error) when the commit failed).
  returned: with I(git)
  type: dict
  sample: {repository: /srv/history, commit: 3f2a9c1}
removed:
  description: Older backup folders removed because of I(keep).
  returned: always
  type: list
  elements: str
exit:
  description: velqo-cli's exit status (0 all done, 1 a file failed, 2 usage, 3 no login).
  returned: always
  type: int
error:
  description: Why the backup ended early (cannot resolve, connect or log in).
  returned: when velqo-cli ended early
  type: str
'''
