#pragma once

#include <QString>

// Every message box, question and standard file dialog of the program goes through this
// service, so that tests can script the user's answers and read back what was shown.
class Dialogs {
  public:
    enum class Icon { None, Information, Warning, Error, Question };
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Answer { Ok, Cancel, Yes, No };

    struct FileRequest {
        QString title;
        QString folder;          // where the dialog opens
        QString filter;          // Qt filter text, e.g. "Configurazione 3-4 cilindri (*.kv4)"
        QString defaultSuffix;   // added to a name typed without one
        QString selectedFilter;  // the entry of filter shown first; empty: the first
        QString selectedFile;    // an open dialog's file chosen beforehand; empty: none
    };

    virtual ~Dialogs() = default;

    // title: the caption of the window that shows the message.
    virtual Answer message(const QString& title, const QString& text, Icon icon,
                           Buttons buttons) = 0;
    // The chosen path, or an empty text when the user cancels.
    // The same question with the button that Enter presses; a careful default (No before an
    // overwrite) keeps a hasty Enter from doing harm.
    virtual Answer ask(const QString& title, const QString& text, Icon icon, Buttons buttons,
                       Answer /*preselected*/) {
        return message(title, text, icon, buttons);
    }
    virtual QString saveFileName(const FileRequest& request) = 0;
    virtual QString openFileName(const FileRequest& request) = 0;

    // Shorthands for the common cases.
    void error(const QString& title, const QString& text) {
        message(title, text, Icon::Error, Buttons::Ok);
    }
    void warning(const QString& title, const QString& text) {
        message(title, text, Icon::Warning, Buttons::Ok);
    }
    void information(const QString& title, const QString& text) {
        message(title, text, Icon::Information, Buttons::Ok);
    }

    // The service in force; the shell installs the real one at start, tests a scripted one.
    static Dialogs& current();
    static Dialogs* install(Dialogs* dialogs);
};

// Installs a dialogs service for the lifetime of a scope.
class ScopedDialogs {
  public:
    explicit ScopedDialogs(Dialogs& dialogs) : previous_(Dialogs::install(&dialogs)) {}
    ~ScopedDialogs() { Dialogs::install(previous_); }
    ScopedDialogs(const ScopedDialogs&) = delete;
    ScopedDialogs& operator=(const ScopedDialogs&) = delete;

  private:
    Dialogs* previous_;
};
