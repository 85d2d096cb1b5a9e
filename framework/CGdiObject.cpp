#include "framework/CGdiObject.h"

CGdiObject::~CGdiObject() {
    DeleteObject();
}

BOOL CGdiObject::Attach(HGDIOBJ handle) {
    if (m_hObject != nullptr || handle == nullptr) {
        return FALSE;
    }
    m_hObject = handle;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
    HGDIOBJ handle = m_hObject;
    m_hObject = nullptr;
    return handle;
}

BOOL CGdiObject::DeleteObject() {
    if (m_hObject == nullptr) {
        return FALSE;
    }
    const BOOL ok = ::DeleteObject(m_hObject);
    m_hObject = nullptr;
    return ok;
}

int CGdiObject::GetObject(int size, void* buffer) const {
    return m_hObject != nullptr ? ::GetObjectA(m_hObject, size, buffer) : 0;
}
