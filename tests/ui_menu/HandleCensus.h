#pragma once
// Counts of this process's GDI objects and USER objects (menus and windows), for
// leak checks. GetGuiResources answers where the system implements it; under Wine,
// where it reports nothing, the GDI count comes from the process's own GDI handle
// table and the USER count from probing the menu handles and walking this thread's
// windows.
class HandleCensus {
public:
    static int GdiObjects();
    static int UserObjects();
    static int Menus();
};
