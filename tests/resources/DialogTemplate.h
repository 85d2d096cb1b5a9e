// Reads a dialog template resource (classic DLGTEMPLATE or extended
// DLGTEMPLATEEX) into plain values, so that tests can compare a template
// with what it should hold before any window is made from it.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

struct DialogItem {
    int id = 0;              // sign-extended: -1 for the "no id" of static texts
    std::wstring className;  // predefined classes by name ("Button", "Edit", ...)
    std::wstring text;
    int textOrdinal = -1;  // a resource id given as text (icon statics), else -1
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
};

struct DialogTemplate {
    bool extended = false;
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::wstring title;
    WORD pointSize = 0;
    WORD weight = 0;   // extended templates only
    BYTE italic = 0;   // extended templates only
    BYTE charset = 0;  // extended templates only
    std::wstring faceName;
    std::vector<DialogItem> items;
};

// Parses template bytes; nullopt when they are truncated or malformed.
std::optional<DialogTemplate> ParseDialogTemplate(const BYTE* data, std::size_t size);

// Finds RT_DIALOG `id` in `module` and parses it.
std::optional<DialogTemplate> LoadDialogTemplate(HMODULE module, int id);
