#pragma once

#include "ConfigTab.h"

class QLabel;

// The lambda probe tab: the probe type; a new type brings its default references and
// emulation levels, written by the next refresh tick.
class TabLambda : public ConfigTab {
    Q_OBJECT
  public:
    TabLambda(TStreamDati& data, EditorHost& host, QWidget* parent);

    void LoadCaptions() override;
    void ShowTab() override;
    QWidget* FirstField() const override;
    // The defaults of the probe type the store holds, when a new type awaits them.
    void FollowUp() override;

    TKeyComboBox* ComboTipoLambda;
    void ComboTipoLambdaCommit(int position);

  private:
    QLabel* labelTipoLambda_;
    bool awaitsDefaults_ = false;
};
