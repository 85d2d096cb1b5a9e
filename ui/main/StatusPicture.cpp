#include "ui/main/StatusPicture.h"

#include "framework/CWindowDC.h"
#include "ui/flow/LinkState.h"
#include "ui/main/GdiplusGraphics.h"
#include "ui/main/GdiplusImage.h"

StatusPicture::StatusPicture(CWnd& window, CStatic& area) : m_window(window), m_area(area) {
    Gdiplus::GdiplusStartup(&m_nGdiplusToken, &m_gdiplusInput, nullptr);
}

void StatusPicture::EndGdiplus() {
    if (m_nGdiplusToken != 0) {
        Gdiplus::GdiplusShutdown(m_nGdiplusToken);
        m_nGdiplusToken = 0;
    }
}

void StatusPicture::Draw(int state) {
    CWindowDC dc(&m_area);
    GdiplusGraphics graphics(dc.GetSafeHdc());
    const GdiplusImage picture(link_state::PicturePath(state), true);
    graphics.DrawImage(picture, 0, 0);
}

void StatusPicture::Paint(HDC dc, int state) {
    GdiplusGraphics graphics(dc);
    const GdiplusImage picture(link_state::PicturePath(state), false);
    RECT area;
    m_area.GetWindowRect(&area);
    m_window.ScreenToClient(&area);
    graphics.DrawImage(picture, area.left, area.top, area.right - area.left,
                       area.bottom - area.top);
}

void StatusPicture::PaintIcon(HDC dc, HICON icon) {
    m_window.SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    m_window.GetClientRect(&client);
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc, x, y, icon);
}
