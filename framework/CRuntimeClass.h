#pragma once
// Run-time class information, so that code holding a base-class pointer can ask
// whether the object is of a given class or of one derived from it (IsKindOf).
// A class declares it with DECLARE_DYNAMIC(Class) in its body and defines it with
// IMPLEMENT_DYNAMIC(Class, Base) in its source; RUNTIME_CLASS(Class) names it.
#include "framework/FrameworkWin.h"

struct CRuntimeClass {
    const char* m_lpszClassName;
    int m_nObjectSize;
    UINT m_wSchema;  // 0xFFFF: the class is not serialised
    const CRuntimeClass* m_pBaseClass;

    // True when this class is `base` or derives from it.
    bool IsDerivedFrom(const CRuntimeClass* base) const {
        for (const CRuntimeClass* c = this; c != nullptr; c = c->m_pBaseClass) {
            if (c == base) {
                return true;
            }
        }
        return false;
    }
};

#define RUNTIME_CLASS(name) (&name::class##name)

#define DECLARE_DYNAMIC(name)               \
public:                                     \
    static const CRuntimeClass class##name; \
    const CRuntimeClass* GetRuntimeClass() const override;

#define IMPLEMENT_DYNAMIC(name, base)                                        \
    const CRuntimeClass name::class##name {                                  \
#name, static_cast < int>(sizeof(name)), 0xFFFF, RUNTIME_CLASS(base) \
    };                                                                       \
    const CRuntimeClass* name::GetRuntimeClass() const {                     \
        return RUNTIME_CLASS(name);                                          \
    }
