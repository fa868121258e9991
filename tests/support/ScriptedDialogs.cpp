#include "ScriptedDialogs.h"

#include <gtest/gtest.h>

ScriptedDialogs::ScriptedDialogs() : previous_(Dialogs::install(this)) {}

ScriptedDialogs::~ScriptedDialogs() { Dialogs::install(previous_); }

Dialogs::Answer ScriptedDialogs::message(const QString& title, const QString& text, Icon icon,
                                         Buttons buttons) {
    shown_.push_back({title, text, icon, buttons});
    if (whileOpen_) whileOpen_(Shown{title, text, icon, buttons});
    if (buttons == Buttons::Ok) return Answer::Ok;
    if (answers_.empty()) {
        ADD_FAILURE() << "unexpected question: " << text.toStdString();
        return Answer::Cancel;
    }
    const Answer answer = answers_.front();
    answers_.pop_front();
    return answer;
}

QString ScriptedDialogs::saveFileName(const FileRequest& request) {
    return nextFile(true, request);
}

QString ScriptedDialogs::openFileName(const FileRequest& request) {
    return nextFile(false, request);
}

QString ScriptedDialogs::nextFile(bool save, const FileRequest& request) {
    fileDialogs_.push_back({save, request});
    if (files_.empty()) {
        ADD_FAILURE() << "unexpected file dialog: " << request.title.toStdString();
        return {};
    }
    QString path = files_.front();
    files_.pop_front();
    return path;
}

QStringList ScriptedDialogs::texts() const {
    QStringList out;
    for (const Shown& s : shown_) out << s.text;
    return out;
}

ScriptedDialogs::Shown ScriptedDialogs::last() const {
    if (shown_.empty()) {
        ADD_FAILURE() << "no message was shown";
        return {};
    }
    return shown_.back();
}
