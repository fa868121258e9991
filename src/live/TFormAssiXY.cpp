#include "TFormAssiXY.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

#include "Language.h"

TFormAssiXY::TFormAssiXY(const QString& caption, const std::vector<int>& traces,
                         const QStringList& names, GraphXY::Axes axes, QWidget* parent)
    : QDialog(parent, Qt::Tool), traces_(traces) {
    setObjectName(QStringLiteral("FormAssiXY"));
    setWindowTitle(caption);
    auto* layout = new QGridLayout(this);
    auto combo = [&](int row, int text, const char* fallback, const char* name, int chosen) {
        auto* label = new QLabel(LoadTextOr(text, QString::fromUtf8(fallback)), this);
        auto* box = new QComboBox(this);
        box->setObjectName(QString::fromLatin1(name));
        box->addItems(names);
        const auto at = std::find(traces_.begin(), traces_.end(), chosen);
        box->setCurrentIndex(at == traces_.end() ? 0 : int(at - traces_.begin()));
        label->setBuddy(box);
        layout->addWidget(label, row, 0);
        layout->addWidget(box, row, 1);
        return box;
    };
    ComboX = combo(0, 707, "Asse &X:", "ComboX", axes.x);
    ComboY = combo(1, 708, "Asse &Y:", "ComboY", axes.y);
    ButtonOk = new QPushButton(LoadTextOr(88, QStringLiteral("&OK")), this);
    ButtonOk->setObjectName(QStringLiteral("ButtonOk"));
    ButtonOk->setDefault(true);
    ButtonAnnulla = new QPushButton(LoadTextOr(89, QStringLiteral("&Annulla")), this);
    ButtonAnnulla->setObjectName(QStringLiteral("ButtonAnnulla"));
    layout->addWidget(ButtonOk, 2, 0);
    layout->addWidget(ButtonAnnulla, 2, 1);
    connect(ButtonOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(ButtonAnnulla, &QPushButton::clicked, this, &QDialog::reject);
}

GraphXY::Axes TFormAssiXY::Axes() const {
    auto trace = [&](const QComboBox* box) {
        const int i = box->currentIndex();
        return i >= 0 && i < int(traces_.size()) ? traces_[size_t(i)] : 0;
    };
    return {trace(ComboX), trace(ComboY)};
}
