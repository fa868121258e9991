#include "Dialogs.h"

#include <QDebug>

namespace {
// Used only where no service was installed (a tool, or a test that forgot to install one):
// it prints what would have been shown and answers as a user who declines.
class ConsoleDialogs final : public Dialogs {
  public:
    Answer message(const QString& title, const QString& text, Icon, Buttons buttons) override {
        qWarning().noquote() << title + ":" << text;
        switch (buttons) {
            case Buttons::Ok:
                return Answer::Ok;
            case Buttons::OkCancel:
            case Buttons::YesNoCancel:
                return Answer::Cancel;
            case Buttons::YesNo:
                return Answer::No;
        }
        return Answer::Cancel;
    }
    QString saveFileName(const FileRequest&) override { return {}; }
    QString openFileName(const FileRequest&) override { return {}; }
};

Dialogs* installed = nullptr;
}  // namespace

Dialogs& Dialogs::current() {
    static ConsoleDialogs console;
    return installed ? *installed : console;
}

Dialogs* Dialogs::install(Dialogs* dialogs) {
    Dialogs* previous = installed;
    installed = dialogs;
    return previous;
}
