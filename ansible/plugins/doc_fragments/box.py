# -*- coding: utf-8 -*-
# Copyright (c) 2026 the VELQO_LAN_MM authors
# SPDX-License-Identifier: MIT
from __future__ import absolute_import, division, print_function

__metaclass__ = type


class ModuleDocFragment(object):
    # The box and the client: what every velqo.box module takes.
    DOCUMENTATION = r'''
options:
  host:
    description:
      - The box's address, dotted IPv4 as four decimal numbers from 0 to 255 without
        leading zeros, or a host name. Other numeric forms (C(127.1), C(0x7f.0.0.1),
        C(127.0.0.010)) are refused before any connection, since resolvers read them as
        other addresses than the one written.
      - Defaults to the inventory host's C(ansible_host), else its inventory name,
        so a task needs no host option.
    type: str
  port:
    description:
      - The box's TCP port, 1 to 65535.
      - Defaults to the variable C(velqo_port), else the box's port 1000.
    type: int
  velqo_cli:
    description:
      - Path of the velqo-cli program on the control node.
      - Defaults to the variable C(velqo_cli), else C(velqo-cli) found on C(PATH).
    type: path
  cli_timeout:
    description:
      - Seconds each run of velqo-cli may take, 1 to 604800 (a week); a run past it is
        stopped (velqo-cli removes its partial files) and the task fails.
      - A task may run velqo-cli more than once (a diff reads the box's copies first).
    type: int
    default: 3600
notes:
  - The task runs on the control node, never on the box (a box runs neither Python nor
    SSH); with forks, many boxes are served at once. Inventory hosts need no
    C(ansible_connection), and plays need no facts (set C(gather_facts) to false).
  - The box's password comes from the variable C(velqo_password) (keep it in a vault),
    which reaches velqo-cli in its environment as C(VELQO_PASSWORD), never on a command
    line, in a log or in a result. Without it, velqo-cli takes C(VELQO_PASSWORD) from
    the control node's environment, else the box's factory password.
  - Relative folders are taken from the playbook's folder.
  - Options and variables are checked (I(port) and C(velqo_port) 1 to 65535, C(velqo_password)
    1 to 4 digits) before velqo-cli runs, and messages name them as the task wrote them.
requirements:
  - velqo-cli with C(--json) (the velqo-tools package) on the control node.
author:
  - VELQO (@velqo)
'''

    # How every velqo.box module runs: an action plugin on the control node, one host
    # at a time. Check and diff mode differ by module and stay in each module.
    ATTRIBUTES = r'''
attributes:
  action:
    support: full
  async:
    support: none
  bypass_host_loop:
    support: none
  platform:
    platforms: posix
'''
