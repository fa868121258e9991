#pragma once

#include <QFont>
#include <QStringList>

// The bold fonts the screens are drawn in, sized in pixels as the screens were designed. The
// families are tried in order; the style hint picks a stand-in where none is installed.
class ScreenFont {
  public:
    static QFont Bold(const QStringList& families, QFont::StyleHint hint, int pixels);
};
