# -*- coding: utf-8 -*-
# Copyright (c) 2026 the VELQO_LAN_MM authors
# SPDX-License-Identifier: MIT
"""Each module's documented options (its doc fragments included) are those its
action plugin validates, with the same type, default, elements and requirement."""
from __future__ import absolute_import, division, print_function

__metaclass__ = type

import importlib
import os

import pytest
from ansible.plugins.loader import fragment_loader
from ansible.utils.plugin_docs import get_docstring

from ansible_collections.velqo.box.plugins.plugin_utils.box_action import BOX_OPTIONS

MODULES = ('files_info', 'backup', 'compare', 'restore', 'update')
PACKAGE = 'ansible_collections.velqo.box.plugins.'
SPEC_KEYS = ('type', 'required', 'default', 'elements', 'choices')


def normalized(option):
    return {key: option.get(key, False if key == 'required' else None) for key in SPEC_KEYS}


@pytest.mark.parametrize('name', MODULES)
def test_documented_options_are_the_validated_ones(name):
    module = importlib.import_module(PACKAGE + 'modules.' + name)
    doc = get_docstring(os.path.abspath(module.__file__), fragment_loader,
                        collection_name='velqo.box', is_module=True)[0]
    action = importlib.import_module(PACKAGE + 'action.' + name).ActionModule
    argument_spec = dict(BOX_OPTIONS, **action.OPTIONS)
    documented = {option: normalized(d) for option, d in doc['options'].items()}
    assert documented == {option: normalized(s) for option, s in argument_spec.items()}
    # A range checked before velqo-cli runs is one of the module's own integer options.
    assert all(argument_spec[option]['type'] == 'int' for option in action.RANGES)
