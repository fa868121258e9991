#pragma once

#include <optional>

#include "Dialogs.h"

class QWidget;

// The dialogs service of the running program: Qt message boxes and file dialogs, parented
// to the active window so they stay on top of it.
class QtDialogs final : public Dialogs {
  public:
    Answer message(const QString& title, const QString& text, Icon icon, Buttons buttons) override;
    Answer ask(const QString& title, const QString& text, Icon icon, Buttons buttons,
               Answer preselected) override;
    QString saveFileName(const FileRequest& request) override;
    QString openFileName(const FileRequest& request) override;

  private:
    static Answer show(const QString& title, const QString& text, Icon icon, Buttons buttons,
                       std::optional<Answer> preselected);
};
