#include "TFormSpostamento.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cmath>

#include "Language.h"

TFormSpostamento::TFormSpostamento(const QString& caption, double seconds, QWidget* parent)
    : QDialog(parent, Qt::Tool) {
    setObjectName(QStringLiteral("FormSpostamento"));
    setWindowTitle(caption);
    auto* layout = new QGridLayout(this);
    layout->addWidget(
        new QLabel(LoadTextOr(706, QStringLiteral("Spostamento del confronto (s):")), this), 0, 0);
    EditSecondi = new QLineEdit(QString::number(seconds, 'f', 3), this);
    EditSecondi->setObjectName(QStringLiteral("EditSecondi"));
    EditSecondi->selectAll();
    layout->addWidget(EditSecondi, 0, 1);
    ButtonOk = new QPushButton(LoadTextOr(88, QStringLiteral("&OK")), this);
    ButtonOk->setObjectName(QStringLiteral("ButtonOk"));
    ButtonOk->setDefault(true);
    ButtonAnnulla = new QPushButton(LoadTextOr(89, QStringLiteral("&Annulla")), this);
    ButtonAnnulla->setObjectName(QStringLiteral("ButtonAnnulla"));
    layout->addWidget(ButtonOk, 1, 0);
    layout->addWidget(ButtonAnnulla, 1, 1);
    connect(ButtonOk, &QPushButton::clicked, this, &TFormSpostamento::accept);
    connect(ButtonAnnulla, &QPushButton::clicked, this, &QDialog::reject);
}

std::optional<double> TFormSpostamento::Seconds() const {
    bool ok = false;
    const double value = EditSecondi->text().trimmed().replace(u',', u'.').toDouble(&ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

// Anything but a number keeps the dialog open, its text selected for typing again.
void TFormSpostamento::accept() {
    if (!Seconds()) {
        EditSecondi->selectAll();
        EditSecondi->setFocus();
        return;
    }
    QDialog::accept();
}
