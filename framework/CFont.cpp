#include "framework/CFont.h"

BOOL CFont::CreateMenuFont() {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof(metrics);
    if (!::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        return FALSE;
    }
    return CreateFontIndirect(&metrics.lfMenuFont);
}
