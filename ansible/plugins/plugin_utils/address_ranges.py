# -*- coding: utf-8 -*-
# Copyright (c) 2026 the VELQO_LAN_MM authors
# SPDX-License-Identifier: MIT
"""The addresses of velqo-cli find's ranges, read as velqo-cli reads them, so that
the ranges minus the ones excluded can be searched without ever touching an
excluded address."""
from __future__ import absolute_import, division, print_function

__metaclass__ = type

import re

from ansible_collections.velqo.box.plugins.plugin_utils.velqo_cli import CliError

# A decimal part from 0 to 255 without a leading zero, as every address is read.
_PART = r'(?:25[0-5]|2[0-4][0-9]|1[0-9][0-9]|[1-9][0-9]|[0-9])'
_ADDRESS = r'%s\.%s\.%s\.%s' % ((_PART,) * 4)
_RANGE = re.compile(r'(%s)(?:/(3[0-2]|[12][0-9]|[0-9])|-(%s))?' % (_ADDRESS, _PART))
ADDRESS_BITS = 32
# A network this narrow or wider leaves out its network and broadcast addresses.
WIDEST_WITHOUT_ENDS = 30
# velqo-cli find tries no more than this in one search (a /16).
MOST_ADDRESSES = 65536
FORMS = ('A.B.C.D/N (N from 0 to 32), A.B.C.D-E or A.B.C.D, each part a decimal number from 0 '
         'to 255 without leading zeros')


def _number(dotted):
    value = 0
    for part in dotted.split('.'):
        value = value << 8 | int(part)
    return value


def dotted(number):
    return '.'.join(str(number >> shift & 0xFF) for shift in (24, 16, 8, 0))


def span(text, option):
    """(first, last) address of one range; option names where it was written."""
    match = _RANGE.fullmatch(text) if isinstance(text, str) else None
    if not match:
        raise CliError('%s: %r is not a range of IPv4 addresses: write %s' % (option, text, FORMS))
    first = _number(match.group(1))
    if match.group(2) is not None:
        bits = int(match.group(2))
        mask = (0xFFFFFFFF << (ADDRESS_BITS - bits)) & 0xFFFFFFFF
        first &= mask
        last = first | (~mask & 0xFFFFFFFF)
        if bits <= WIDEST_WITHOUT_ENDS:
            return first + 1, last - 1
        return first, last
    if match.group(3) is not None:
        last = (first & ~0xFF) | int(match.group(3))
        if last < first:
            raise CliError('%s: %r does not end in a last part from %d to 255 after "-"'
                           % (option, text, first & 0xFF))
        return first, last
    return first, first


def searched(addresses, excluded):
    """velqo-cli find's ranges for the addresses of the ranges addresses less those
    of excluded: runs within a last part, lowest first ('10.0.0.1-9', '10.0.0.12')."""
    spans = [span(text, 'address') for text in addresses]
    if sum(last - first + 1 for first, last in spans) > MOST_ADDRESSES:
        raise CliError('address: the ranges hold more than %d addresses, the most one search '
                       'tries' % MOST_ADDRESSES)
    left_out = [span(text, 'exclude') for text in excluded]
    wanted = sorted(set(a for first, last in spans for a in range(first, last + 1)
                        if not any(low <= a <= high for low, high in left_out)))
    ranges = []
    start = previous = None
    for a in wanted + [None]:
        if start is not None and (a is None or a != previous + 1 or a >> 8 != start >> 8):
            ranges.append(dotted(start) if start == previous else
                          '%s-%d' % (dotted(start), previous & 0xFF))
            start = None
        if start is None:
            start = a
        previous = a
    return ranges
