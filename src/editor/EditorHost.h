#pragma once

#include <QString>

#include "ScreenScale.h"

class TNumericEdit;

// What a tab of the configuration editor asks of the editor around it.
class EditorHost {
  public:
    virtual ~EditorHost() = default;

    // The editor's caption: the title of the tabs' messages.
    virtual QString Caption() const = 0;
    virtual ScreenScale Scale() const = 0;
    // The live refresh stops during the tabs' long operations.
    virtual void HoldRefresh() = 0;
    virtual void ResumeRefresh() = 0;
    // The limit hint beside a numeric field with the focus.
    virtual void ShowLimit(TNumericEdit* field) = 0;
    virtual void HideLimit() = 0;
};
