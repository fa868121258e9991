#include "ScriptedDialogs.h"

#include <gtest/gtest.h>

ScriptedDialogs::ScriptedDialogs() : previous_(Dialogs::install(this)) {}

ScriptedDialogs::~ScriptedDialogs() { Dialogs::install(previous_); }

Dialogs::Answer ScriptedDialogs::message(const QString& title, const QString& text, Icon icon,
                                         Buttons buttons) {
    return next({title, text, icon, buttons, std::nullopt});
}

Dialogs::Answer ScriptedDialogs::ask(const QString& title, const QString& text, Icon icon,
                                     Buttons buttons, Answer preselected) {
    return next({title, text, icon, buttons, preselected});
}

Dialogs::Answer ScriptedDialogs::next(const Shown& shown) {
    shown_.push_back(shown);
    if (whileOpen_) whileOpen_(shown);
    if (shown.buttons == Buttons::Ok) return Answer::Ok;
    if (answers_.empty()) {
        ADD_FAILURE() << "unexpected question: " << shown.text.toStdString();
        return Answer::Cancel;
    }
    const Scripted next = answers_.front();
    answers_.pop_front();
    if (next.first) next.first();
    return next.answer;
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
