#pragma once
// Owns one GDI object (pen, brush, font, bitmap, region): the object that created
// or attached a handle deletes it. Never copied. A handle must not be deleted while
// a DC still holds it selected, so a CDC that selects it is destroyed first
// (declare the CDC after the objects it selects).
#include "framework/FrameworkWin.h"

class CGdiObject {
public:
    CGdiObject() = default;
    virtual ~CGdiObject();
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    HGDIOBJ m_hObject = nullptr;

    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    // Takes ownership of `handle`; fails when this object already holds one.
    BOOL Attach(HGDIOBJ handle);
    // Gives up ownership; the caller now owns the returned handle.
    HGDIOBJ Detach();
    // Deletes the held object; FALSE when there is none or GDI refuses.
    BOOL DeleteObject();
    int GetObject(int size, void* buffer) const;
};
