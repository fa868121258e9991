#include "TAboutBox.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "AboutText.h"
#include "BuildProfile.h"
#include "Language.h"
#include "ProductLogo.h"
#include "ScreenScale.h"

TAboutBox::TAboutBox(const QString& caption, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    const ScreenScale scale = ScreenScale::Primary();
    setWindowTitle(caption);
    setFixedSize(scale(313), scale(213));

    auto* panel = new QFrame(this);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setGeometry(scale(QRect(8, 8, 297, 161)));
    auto* logo = new QLabel(panel);
    logo->setGeometry(scale(QRect(8, 8, 121, 73)));
    logo->setPixmap(ProductLogo::Render(logo->size()));

    productName_ = new QLabel(caption, panel);
    productName_->setGeometry(scale(QRect(136, 16, 152, 60)));
    productName_->setWordWrap(true);
    QFont bold = productName_->font();
    bold.setBold(true);
    productName_->setFont(bold);

    const QString word = LoadTextOr(48, QStringLiteral("Versione"), AboutText::kVersionWordMaximum);
    version_ = new QLabel(
        AboutText::VersionLine(word, AboutText::FileVersion(), BuildProfile::EditionLetter()),
        panel);
    version_->setGeometry(scale(QRect(8, 96, 280, 20)));
    auto* comment = new QLabel(AboutText::Comment(), panel);
    comment->setGeometry(scale(QRect(8, 124, 280, 20)));

    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setGeometry(scale(QRect(119, 178, 75, 25)));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    move(ScreenScale::PrimaryGeometry().center() - rect().center());
}

QString TAboutBox::ProductName() const { return productName_->text(); }

QString TAboutBox::Version() const { return version_->text(); }

void TAboutBox::Run(const QString& caption, QWidget* parent) {
    TAboutBox box(caption, parent);
    box.exec();
}
