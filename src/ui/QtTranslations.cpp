#include "QtTranslations.h"

#include <QCoreApplication>
#include <QDebug>
#include <QLibraryInfo>
#include <QTranslator>
#include <memory>

#include "Language.h"

namespace {
std::unique_ptr<QTranslator>& installed() {
    static std::unique_ptr<QTranslator> translator;
    return translator;
}
}  // namespace

QString QtTranslations::Folder() { return QLibraryInfo::path(QLibraryInfo::TranslationsPath); }

QString QtTranslations::CurrentLocale() {
    return LoadTextOr(Language::kQtLocaleNumber, QStringLiteral("it")).trimmed();
}

bool QtTranslations::Use(const QString& locale) {
    std::unique_ptr<QTranslator>& current = installed();
    if (current) {
        QCoreApplication::removeTranslator(current.get());
        current.reset();
    }
    if (locale.isEmpty() || locale.startsWith(QStringLiteral("en"))) return true;
    auto translator = std::make_unique<QTranslator>();
    // "qt_" gathers Qt's modules (qtbase_ with the dialogs' texts among them).
    if (!translator->load(QStringLiteral("qt_") + locale, Folder())) {
        qWarning().noquote() << "Qt's own texts stay English: no translation for" << locale
                             << "in" << Folder();
        return false;
    }
    QCoreApplication::installTranslator(translator.get());
    current = std::move(translator);
    return true;
}
