#include "AboutText.h"

QString AboutText::FileVersion() { return QStringLiteral(CENTRALINA_FILE_VERSION); }

QString AboutText::VersionLine(const QString& word, const QString& fileVersion, QChar edition) {
    const QString version =
        fileVersion.trimmed().isEmpty() ? QStringLiteral("not available") : fileVersion;
    return word + u' ' + version + u' ' + edition;
}

QString AboutText::Comment() {
    return QStringLiteral("Configuratore della centralina GPL / Metano");
}
