#pragma once

#include <QWidget>
#include <initializer_list>

#include "EditorHost.h"

class QLabel;
class TKeyComboBox;
class TNumericEdit;
class TStreamDati;

// A page of the configuration editor. Its show routine loads every field from the store; a
// committed field goes to the store (and the ECU) and is loaded again, so the page shows what
// the ECU kept.
class ConfigTab : public QWidget {
    Q_OBJECT
  public:
    ConfigTab(TStreamDati& data, EditorHost& host, const QString& name, QWidget* parent);

    // The texts of the current language.
    virtual void LoadCaptions() = 0;
    // The show routine: every field from the store.
    virtual void ShowTab() = 0;
    // Where the focus goes when the page is shown.
    virtual QWidget* FirstField() const = 0;
    // Run by every refresh tick of the editor.
    virtual void FollowUp() {}

    // The generic commit of a field bound by DataCode: to the store, then back from it.
    void CommitField(TNumericEdit* field);
    // Loads a bound field from the store.
    void LoadField(TNumericEdit* field);

  protected:
    // Controls at design positions (scaled), named as the editor names them.
    QLabel* AddLabel(const QString& name, const QString& design, const QRect& at);
    TNumericEdit* AddNumeric(const QString& name, const QRect& at, double precision, double low,
                             double high, int code);
    TKeyComboBox* AddList(const QString& name, const QRect& at, bool keyOff);
    QRect Scaled(const QRect& design) const { return host_.Scale()(design); }
    // Chains the fields in order: Enter and Down go to the next, Up to the previous; the last
    // leads back to the first when ring is set.
    static void Chain(std::initializer_list<QWidget*> fields, bool ring);

    TStreamDati& data_;
    EditorHost& host_;
};
