#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "LanguageLibrary.h"
#include "QtDialogs.h"
#include "QtTranslations.h"
#include "ShellFixture.h"
#include "TFormMain.h"

namespace {
QString plain(QString text) { return text.remove(u'&'); }

// The texts of the save question's buttons, Yes, No, Cancel, as the real box shows them.
std::string questionButtons() {
    QStringList texts;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        for (auto button : {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel})
            texts << plain(box->button(button)->text());
        box->button(QMessageBox::Cancel)->click();
    });
    QtDialogs dialogs;
    EXPECT_EQ(dialogs.message(QStringLiteral("Principale"),
                              QStringLiteral("Salvare i dati in memoria in un file?"),
                              Dialogs::Icon::Warning, Dialogs::Buttons::YesNoCancel),
              Dialogs::Answer::Cancel);
    return texts.join(u'|').toStdString();
}

// The save dialog's labels and buttons: look in, file name, file type, save, cancel.
std::string saveDialogTexts() {
    QStringList texts;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        for (const char* name : {"lookInLabel", "fileNameLabel", "fileTypeLabel"})
            if (auto* label = dialog->findChild<QLabel*>(QString::fromLatin1(name)))
                texts << plain(label->text());
        if (auto* box = dialog->findChild<QDialogButtonBox*>())
            for (auto button : {QDialogButtonBox::Save, QDialogButtonBox::Cancel})
                if (box->button(button)) texts << plain(box->button(button)->text());
        dialog->reject();
    });
    QtDialogs dialogs;
    Dialogs::FileRequest request;
    request.title = QStringLiteral("Salva file di configurazione");
    request.filter = QStringLiteral("Configurazione 3-4 cilindri (*.kv4)");
    EXPECT_EQ(dialogs.saveFileName(request), QString());
    return texts.join(u'|').toStdString();
}
}  // namespace

// Qt's own texts follow the language chosen in the language menu: Italian from the start,
// English after choosing it, Italian again.
TEST(QtTranslationsTest, TheStandardDialogsSpeakTheLanguageOfTheMenu) {
    ASSERT_TRUE(QFile::exists(QtTranslations::Folder() + QStringLiteral("/qt_it.qm")))
        << "Qt's Italian texts are not installed (qt6-translations-l10n)";
    ShellFixture shell;
    LanguageLibrary library;
    ASSERT_TRUE(library.Load());
    Language::current().Attach(&library);
    auto data = shell.makeOfflineData();
    {
        TFormMain form(*data, QRect(0, 0, 800, 600));
        form.show();  // the language items, and the stored language: Italian
        EXPECT_EQ(questionButtons(), "Sì|No|Annulla");
        EXPECT_EQ(saveDialogTexts(), "Cerca in:|Nome del file:|File di tipo:|Salva|Annulla");

        form.MenuSelLingua()->actions().at(1)->trigger();
        EXPECT_EQ(questionButtons(), "Yes|No|Cancel");
        EXPECT_EQ(saveDialogTexts(), "Look in:|File name:|Files of type:|Save|Cancel");

        form.MenuSelLingua()->actions().at(0)->trigger();
        EXPECT_EQ(questionButtons(), "Sì|No|Annulla");
    }
    QtTranslations::Use(QStringLiteral("en"));
    Language::current().Attach(nullptr);
}
