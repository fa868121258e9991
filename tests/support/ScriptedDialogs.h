#pragma once

#include <QStringList>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "Dialogs.h"

// The user, scripted. Installs itself for its lifetime. Messages with only an OK button are
// answered OK; every question takes the next queued answer (a question with none queued
// fails the test and answers Cancel). File dialogs take the next queued path ("" = cancel).
class ScriptedDialogs final : public Dialogs {
  public:
    struct Shown {
        QString title;
        QString text;
        Icon icon;
        Buttons buttons;
        std::optional<Answer> preselected;  // the button Enter presses, when the caller chose
    };
    struct FileShown {
        bool save;
        FileRequest request;
    };

    ScriptedDialogs();
    ~ScriptedDialogs() override;

    void answer(Answer answer) { answers_.push_back({answer, {}}); }
    // The user does something first (plugs a cable back), then answers.
    void answer(Answer answer, std::function<void()> first) {
        answers_.push_back({answer, std::move(first)});
    }
    void chooseFile(const QString& path) { files_.push_back(path); }
    // Runs while each message is open, before it is answered: what the program's timers would
    // do behind a real message box.
    void whileOpen(std::function<void(const Shown&)> action) { whileOpen_ = std::move(action); }
    void whileOpen(std::function<void()> action) {
        whileOpen_ = [action = std::move(action)](const Shown&) { action(); };
    }

    Answer message(const QString& title, const QString& text, Icon icon, Buttons buttons) override;
    Answer ask(const QString& title, const QString& text, Icon icon, Buttons buttons,
               Answer preselected) override;
    QString saveFileName(const FileRequest& request) override;
    QString openFileName(const FileRequest& request) override;

    const std::vector<Shown>& shown() const { return shown_; }
    const std::vector<FileShown>& fileDialogs() const { return fileDialogs_; }
    QStringList texts() const;
    // The last message shown; fails the test when none was.
    Shown last() const;
    int pendingAnswers() const { return static_cast<int>(answers_.size()); }
    void clear() {
        shown_.clear();
        fileDialogs_.clear();
    }

  private:
    Answer next(const Shown& shown);
    QString nextFile(bool save, const FileRequest& request);

    struct Scripted {
        Answer answer;
        std::function<void()> first;
    };

    Dialogs* previous_;
    std::deque<Scripted> answers_;
    std::deque<QString> files_;
    std::vector<Shown> shown_;
    std::vector<FileShown> fileDialogs_;
    std::function<void(const Shown&)> whileOpen_;
};
