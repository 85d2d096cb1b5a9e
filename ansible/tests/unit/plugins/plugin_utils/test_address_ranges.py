# -*- coding: utf-8 -*-
# Copyright (c) 2026 the VELQO_LAN_MM authors
# SPDX-License-Identifier: MIT
"""The ranges velqo-cli find is given for the inventory's address and exclude."""
from __future__ import absolute_import, division, print_function

__metaclass__ = type

import pytest

from ansible_collections.velqo.box.plugins.plugin_utils.address_ranges import searched
from ansible_collections.velqo.box.plugins.plugin_utils.velqo_cli import CliError


# address, exclude: find's ranges, or the message.
@pytest.mark.parametrize('address,exclude,expected', [
    (['127.0.0.0/30'], [], ['127.0.0.1-2']),
    (['127.0.0.4/31', '127.0.0.9/32'], [], ['127.0.0.4-5', '127.0.0.9']),
    (['127.0.0.0/24'], ['127.0.0.5', '127.0.0.100-254'], ['127.0.0.1-4', '127.0.0.6-99']),
    (['127.0.0.250-255', '127.0.1.0-1', '127.0.0.251'], [], ['127.0.0.250-255', '127.0.1.0-1']),
    (['127.0.0.2-3'], ['127.0.0.0/24'], []),
    (['127.0.0.010'], [], "address: '127.0.0.010' is not a range of IPv4 addresses"),
    (['127.0.0.9-3'], [], 'address: \'127.0.0.9-3\' does not end in a last part from 9 to 255'),
    (['127.0.0.0/33'], [], "address: '127.0.0.0/33' is not a range"),
    (['127.0.0.1'], ['localhost'], "exclude: 'localhost' is not a range"),
    (['127.0.0.0/16', '127.1.0.0/24'], [], 'address: the ranges hold more than 65536 addresses'),
])
def test_searched_ranges(address, exclude, expected):
    if isinstance(expected, list):
        assert searched(address, exclude) == expected
    else:
        with pytest.raises(CliError) as e:
            searched(address, exclude)
        assert str(e.value).startswith(expected)
