#include "TFormGestioneTracce.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

#include "Language.h"

namespace {
constexpr int kLeft = 20;
constexpr int kFirstTop = 20;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kButtonGap = 10;
}  // namespace

TFormGestioneTracce::TFormGestioneTracce(const QStringList& titles, const std::vector<bool>& active,
                                         QWidget* parent)
    : QDialog(parent, Qt::Tool) {
    setObjectName(QStringLiteral("FormGestioneTracce"));
    setWindowTitle(LoadTextOr(296, QStringLiteral("Aggiungi/rimuovi tracce")));
    int height = kClientHeight;
    int y = kFirstTop;
    for (int i = 0; i < titles.size(); ++i) {
        auto* check = new QCheckBox(titles[i], this);
        check->setObjectName(QStringLiteral("CheckTrack") + QString::number(i));
        check->setChecked(i < int(active.size()) && active[size_t(i)]);
        const int checkHeight = check->sizeHint().height();
        check->setGeometry(kLeft, y, kClientWidth - 30, checkHeight);
        const int step = int(checkHeight * 1.5);
        y += step;
        height += step;
        Checks.append(check);
    }
    ButtonOk = new QPushButton(LoadTextOr(88, QStringLiteral("&OK")), this);
    ButtonOk->setObjectName(QStringLiteral("ButtonOk"));
    ButtonOk->setDefault(true);
    ButtonAnnulla = new QPushButton(LoadTextOr(89, QStringLiteral("&Annulla")), this);
    ButtonAnnulla->setObjectName(QStringLiteral("ButtonAnnulla"));
    const int buttonsLeft = (kClientWidth - 2 * kButtonWidth - kButtonGap) / 2;
    ButtonOk->setGeometry(buttonsLeft, y, kButtonWidth, kButtonHeight);
    ButtonAnnulla->setGeometry(buttonsLeft + kButtonWidth + kButtonGap, y, kButtonWidth,
                               kButtonHeight);
    QWidget* previous = Checks.isEmpty() ? nullptr : Checks.last();
    if (previous) setTabOrder(previous, ButtonOk);
    setTabOrder(ButtonOk, ButtonAnnulla);
    connect(ButtonOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(ButtonAnnulla, &QPushButton::clicked, this, &QDialog::reject);

    setFixedSize(kClientWidth, height);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

std::vector<bool> TFormGestioneTracce::Active() const {
    std::vector<bool> active;
    for (const QCheckBox* check : Checks) active.push_back(check->isChecked());
    return active;
}
