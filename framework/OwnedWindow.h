#pragma once
// A window object together with the window it creates (a modeless dialog, a
// CreateEx window): the window is destroyed while the whole object still lives,
// so WM_DESTROY and WM_NCDESTROY reach every class's handlers, and only then does
// the object go. A window still alive when a CWnd's own destructor runs could
// only be destroyed without the derived classes, which are gone by then. Use it
// wherever such an object is declared:
//     OwnedWindow<SettingsDialog> dialog;
//     dialog.Create(parent);
template <class Window>
class OwnedWindow final : public Window {
public:
    using Window::Window;
    ~OwnedWindow() override {
        if (this->m_hWnd != nullptr && this->OwnsWindow()) {
            this->DestroyWindow();
        }
    }
};
