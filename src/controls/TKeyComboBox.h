#pragma once

#include <QComboBox>

#include "ChainedField.h"

// Drop-down list driven from the keyboard: Enter opens the list and Enter again chooses the
// highlighted entry; Up and Down move between the fields of the chain while the list is closed
// and wrap around while it is open; typed letters do not search the list.
class TKeyComboBox : public QComboBox, public ChainedField {
    Q_OBJECT
    Q_PROPERTY(int DataCode READ GetDataCode WRITE SetDataCode)
    Q_PROPERTY(int DataIndex READ GetDataIndex WRITE SetDataIndex)
    Q_PROPERTY(QWidget* NextControl READ NextControl WRITE SetNextControl)
    Q_PROPERTY(QWidget* PrevControl READ PrevControl WRITE SetPrevControl)

  public:
    explicit TKeyComboBox(QWidget* parent = nullptr);

    int GetDataCode() const { return dataCode_; }
    void SetDataCode(int code) { dataCode_ = code; }
    int GetDataIndex() const { return dataIndex_; }
    void SetDataIndex(int index) { dataIndex_ = index; }

    // The entry Escape goes back to while the list is open.
    int SavedIndex() const { return savedIndex_; }
    bool IsListOpen() const;

    void showPopup() override;

  signals:
    // An Enter (or a pick with the mouse) left the list closed on this entry.
    void committed(int index);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void WatchList();
    void TypeEnter();
    void Pick();
    void CancelList();
    bool ListKey(QKeyEvent* event);
    bool WrapHighlight(int from, int to);
    int HighlightedIndex() const;

    int dataCode_ = -1;
    int dataIndex_ = -1;
    int savedIndex_ = 0;
    bool open_ = false;
};
