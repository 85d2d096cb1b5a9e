#include "ui/main/ButtonIcon.h"

#include "framework/CWinApp.h"

void ButtonIcon::Set(CButton& button, UINT iconId) {
    // Resource icons loaded with LoadImage(LR_SHARED) belong to the system.
    const HICON icon =
        static_cast<HICON>(::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(iconId),
                                        IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
    button.SetIcon(icon);
}
