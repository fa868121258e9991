#include "TFormAttesa.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>

#include "ScreenScale.h"
#include "WaitAnimation.h"

namespace {
void setPixelFont(QWidget* widget, int pixels) {
    QFont font = widget->font();
    font.setPixelSize(pixels);
    widget->setFont(font);
}
}  // namespace

TFormAttesa::TFormAttesa(QWidget* owner)
    : QDialog(owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      label_(new QLabel(QStringLiteral("Messaggio di attesa..."), this)),
      progressBar_(new QProgressBar(this)),
      labelCompleted_(new QLabel(this)),
      animate_(new WaitAnimation(this)) {
    const ScreenScale scale = ScreenScale::Primary();
    setWindowTitle(QStringLiteral("Finestra di attesa"));
    setFixedSize(scale(378), scale(83));
    label_->setAlignment(Qt::AlignCenter);
    label_->setGeometry(scale(QRect(8, 6, 362, 22)));
    lineHeight_ = label_->height();
    setPixelFont(label_, scale(15));
    animate_->setGeometry(scale(QRect(8, 34, 33, 33)));
    progressBar_->setRange(0, ProgressCounter::kMaximum);
    progressBar_->setValue(0);
    progressBar_->setTextVisible(false);
    progressBar_->setGeometry(scale(QRect(48, 36, 322, 16)));
    labelCompleted_->setAlignment(Qt::AlignCenter);
    labelCompleted_->setGeometry(scale(QRect(48, 56, 322, 18)));

    const QRect screen = ScreenScale::PrimaryGeometry();
    move(screen.center() - rect().center());
    // While the dialog lives, coming back to the program brings it back from the taskbar.
    restore_ = connect(qApp, &QGuiApplication::applicationStateChanged, this,
                       [this](Qt::ApplicationState state) {
                           if (state == Qt::ApplicationActive && isMinimized()) showNormal();
                       });
}

TFormAttesa::~TFormAttesa() { stopRestoring(); }

void TFormAttesa::stopRestoring() { disconnect(restore_); }

void TFormAttesa::closeEvent(QCloseEvent* event) {
    stopRestoring();
    QDialog::closeEvent(event);
}

void TFormAttesa::update(int value, bool increment) {
    counter_.Apply(value, increment);
    progressBar_->setValue(counter_.Position());
    labelCompleted_->setText(counter_.Text());
}

void TFormAttesa::SetProgress(int value, bool absolute) {
    update(value, !absolute);
    labelCompleted_->repaint();
}

void TFormAttesa::OnProgress(int value, int increment) {
    update(value, increment != 0);
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible()) window->repaint();
    }
}

QString TFormAttesa::CompletedText() const { return labelCompleted_->text(); }

QString TFormAttesa::Message() const { return label_->text(); }

void TFormAttesa::SetMessage(const QString& message) {
    // A message of more lines makes the dialog taller by as many lines.
    const int extraLines = static_cast<int>(message.count(u'\n'));
    const int grow = extraLines * lineHeight_ - (label_->height() - lineHeight_);
    if (grow != 0) {
        label_->resize(label_->width(), label_->height() + grow);
        for (QWidget* below :
             {static_cast<QWidget*>(progressBar_), static_cast<QWidget*>(labelCompleted_),
              static_cast<QWidget*>(animate_)})
            below->move(below->x(), below->y() + grow);
        setFixedHeight(height() + grow);
    }
    label_->setText(message);
}

void TFormAttesa::SetProgressVisible(bool visible) {
    progressBar_->setVisible(visible);
    labelCompleted_->setVisible(visible);
}

bool TFormAttesa::AnimationRunning() const { return animate_->IsRunning(); }

void TFormAttesa::StartAnimation() { animate_->Start(); }

void TFormAttesa::Open() {
    show();
    repaint();
}
