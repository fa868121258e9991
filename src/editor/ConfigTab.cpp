#include "ConfigTab.h"

#include <QLabel>
#include <vector>

#include "ChainedField.h"
#include "EditorLook.h"
#include "TKeyComboBox.h"
#include "TNumericEdit.h"
#include "TStreamDati.h"

ConfigTab::ConfigTab(TStreamDati& data, EditorHost& host, const QString& name, QWidget* parent)
    : QWidget(parent), data_(data), host_(host) {
    setObjectName(name);
    EditorLook::PageColours(this);
}

void ConfigTab::CommitField(TNumericEdit* field) {
    const int code = field->GetDataCode();
    if (code < 0) return;
    const double value = field->CommittedValue();
    if (field->GetDataIndex() < 0)
        data_.SetValue(code, value);
    else
        data_.SetElement(static_cast<uint32_t>(code), field->GetDataIndex(), value);
    LoadField(field);
}

void ConfigTab::LoadField(TNumericEdit* field) {
    const int code = field->GetDataCode();
    if (code < 0) return;
    const int index = field->GetDataIndex();
    field->SetDouble(index < 0 ? data_.GetValue(static_cast<uint32_t>(code))
                               : data_.GetElement(static_cast<uint32_t>(code), index));
}

QLabel* ConfigTab::AddLabel(const QString& name, const QString& design, const QRect& at) {
    auto* label = new QLabel(design, this);
    label->setObjectName(name);
    label->setGeometry(Scaled(at));
    return label;
}

TNumericEdit* ConfigTab::AddNumeric(const QString& name, const QRect& at, double precision,
                                    double low, double high, int code) {
    auto* field = new TNumericEdit(this);
    field->setObjectName(name);
    field->setGeometry(Scaled(at));
    field->SetPrecision(precision);
    field->SetLimit(1, high);
    field->SetLimit(2, low);
    field->SetDataCode(code);
    connect(field, &TNumericEdit::entered, this, [this, field] { host_.ShowLimit(field); });
    connect(field, &TNumericEdit::left, this, [this] { host_.HideLimit(); });
    return field;
}

TKeyComboBox* ConfigTab::AddList(const QString& name, const QRect& at, bool keyOff) {
    auto* list = new TKeyComboBox(this);
    list->setObjectName(name);
    list->setGeometry(Scaled(at));
    if (keyOff) EditorLook::KeyOff(list);
    return list;
}

void ConfigTab::Chain(std::initializer_list<QWidget*> fields, bool ring) {
    const std::vector<QWidget*> all(fields);
    const size_t n = all.size();
    for (size_t i = 0; i < n; ++i) {
        auto* field = dynamic_cast<ChainedField*>(all[i]);
        if (!field) continue;
        if (i + 1 < n || ring) field->SetNextControl(all[(i + 1) % n]);
        if (i > 0 || ring) field->SetPrevControl(all[(i + n - 1) % n]);
    }
}
