#include "TFormMessaggio.h"

#include <QLabel>

#include "ScreenScale.h"

TFormMessaggio::TFormMessaggio(QWidget* owner)
    : QDialog(owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      messaggio_(new QLabel(QStringLiteral("Messaggio....."), this)) {
    const ScreenScale scale = ScreenScale::Primary();
    setFixedSize(scale(259), scale(44));
    messaggio_->setGeometry(rect().adjusted(scale(4), scale(2), -scale(4), -scale(2)));
    messaggio_->setAlignment(Qt::AlignCenter);
    messaggio_->setWordWrap(true);
    QFont font = messaggio_->font();
    font.setPixelSize(scale(13));
    messaggio_->setFont(font);
    move(ScreenScale::PrimaryGeometry().center() - rect().center());
}

void TFormMessaggio::SetMessage(const QString& text) { messaggio_->setText(text); }

QString TFormMessaggio::Message() const { return messaggio_->text(); }

void TFormMessaggio::ShowNow() {
    show();
    repaint();
}
