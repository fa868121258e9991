#pragma once

#include <QLineEdit>

#include "ChainedField.h"
#include "NumericRules.h"

// One-line numeric field: refuses characters that cannot make a legal value, keeps the value
// inside its limits, rounds it to its step and commits it only on Enter. Enter and Down move to
// the next field of the chain, Up to the previous one.
class TNumericEdit : public QLineEdit, public ChainedField {
    Q_OBJECT
    Q_PROPERTY(double Precision READ GetPrecision WRITE SetPrecision)
    Q_PROPERTY(double MaxValue READ GetMaxValue WRITE SetMaxValue)
    Q_PROPERTY(double MinValue READ GetMinValue WRITE SetMinValue)
    Q_PROPERTY(bool DisableLimit READ GetDisableLimit WRITE SetDisableLimit)
    Q_PROPERTY(bool Validation READ GetValidation WRITE SetValidation)
    Q_PROPERTY(int DataCode READ GetDataCode WRITE SetDataCode)
    Q_PROPERTY(int DataIndex READ GetDataIndex WRITE SetDataIndex)
    Q_PROPERTY(QWidget* NextControl READ NextControl WRITE SetNextControl)
    Q_PROPERTY(QWidget* PrevControl READ PrevControl WRITE SetPrevControl)

  public:
    explicit TNumericEdit(QWidget* parent = nullptr);

    // Attributes. The plain setters of the limits do not check their order; SetLimit does.
    double GetPrecision() const { return rules_.precision; }
    void SetPrecision(double precision) { rules_.precision = precision; }
    double GetMaxValue() const { return rules_.maxValue; }
    void SetMaxValue(double x) { rules_.maxValue = x; }
    double GetMinValue() const { return rules_.minValue; }
    void SetMinValue(double x) { rules_.minValue = x; }
    bool GetDisableLimit() const { return rules_.disableLimit; }
    void SetDisableLimit(bool disable) { rules_.disableLimit = disable; }
    // true: leaving the field without Enter restores the last committed value.
    bool GetValidation() const { return validation_; }
    void SetValidation(bool validation) { validation_ = validation; }
    int GetDataCode() const { return dataCode_; }
    void SetDataCode(int code) { dataCode_ = code; }
    int GetDataIndex() const { return dataIndex_; }
    void SetDataIndex(int index) { dataIndex_ = index; }

    // 1 = upper limit, 2 = lower limit. SetLimit ignores a limit that would cross the other.
    double GetLimit(int index) const { return rules_.GetLimit(index); }
    void SetLimit(int index, double x) { rules_.SetLimit(index, x); }

    // Values. Setters show the value (a violated limit instead) and make it the committed one;
    // getters read the text, falling back on the committed value when it is not a number.
    void SetInt(int v);
    // Returns the text's whole number as parsed; limit and step corrections go to the text.
    int GetInt();
    void SetDouble(double x);
    // Clamped and rounded; the text is left alone.
    double GetDouble() const;

    // The last committed value: the one Escape and focus loss (with Validation) go back to.
    double CommittedValue() const { return committed_; }

  signals:
    // Enter committed a value (already clamped and rounded). Emitted before the focus moves
    // on, so a handler can store it and reload the field.
    void committed(double value);
    // The focus came in from or went out to another field (after the field normalised itself).
    void entered();
    void left();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void Show(double x);
    void PressEnter(QKeyEvent* event);
    bool AcceptsTyped(const QKeyEvent& event) const;
    NumericRules::Typing CurrentTyping() const;

    NumericRules rules_;
    bool validation_ = true;
    bool selectOnRelease_ = false;  // the focus came with a click, not yet released
    int dataCode_ = -1;
    int dataIndex_ = -1;
    double committed_ = 0;
};
