#include "ScreenFont.h"

QFont ScreenFont::Bold(const QStringList& families, QFont::StyleHint hint, int pixels) {
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(hint);
    font.setBold(true);
    font.setPixelSize(pixels);
    return font;
}
