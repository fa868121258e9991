#include "QtDialogs.h"

#include <QApplication>
#include <QDebug>
#include <QFileDialog>
#include <QMessageBox>

namespace {
QMessageBox::Icon toQt(Dialogs::Icon icon) {
    switch (icon) {
        case Dialogs::Icon::Information:
            return QMessageBox::Information;
        case Dialogs::Icon::Warning:
            return QMessageBox::Warning;
        case Dialogs::Icon::Error:
            return QMessageBox::Critical;
        case Dialogs::Icon::Question:
            return QMessageBox::Question;
        case Dialogs::Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toQt(Dialogs::Buttons buttons) {
    switch (buttons) {
        case Dialogs::Buttons::Ok:
            return QMessageBox::Ok;
        case Dialogs::Buttons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case Dialogs::Buttons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case Dialogs::Buttons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::StandardButton toQt(Dialogs::Answer answer) {
    switch (answer) {
        case Dialogs::Answer::Ok:
            return QMessageBox::Ok;
        case Dialogs::Answer::Cancel:
            return QMessageBox::Cancel;
        case Dialogs::Answer::Yes:
            return QMessageBox::Yes;
        case Dialogs::Answer::No:
            return QMessageBox::No;
    }
    return QMessageBox::NoButton;
}

Dialogs::Answer fromQt(int button) {
    switch (button) {
        case QMessageBox::Ok:
            return Dialogs::Answer::Ok;
        case QMessageBox::Yes:
            return Dialogs::Answer::Yes;
        case QMessageBox::No:
            return Dialogs::Answer::No;
        default:
            return Dialogs::Answer::Cancel;
    }
}
}  // namespace

Dialogs::Answer QtDialogs::message(const QString& title, const QString& text, Icon icon,
                                   Buttons buttons) {
    return show(title, text, icon, buttons, std::nullopt);
}

Dialogs::Answer QtDialogs::ask(const QString& title, const QString& text, Icon icon,
                               Buttons buttons, Answer preselected) {
    return show(title, text, icon, buttons, preselected);
}

Dialogs::Answer QtDialogs::show(const QString& title, const QString& text, Icon icon,
                                Buttons buttons, std::optional<Answer> preselected) {
    // On the standard error too, so that a run nobody watches shows what it asked.
    qInfo().noquote() << "message:" << title + ":" << QString(text).replace(u'\n', u' ');
    QMessageBox box(toQt(icon), title, text, toQt(buttons), QApplication::activeWindow());
    if (preselected) box.setDefaultButton(toQt(*preselected));
    return fromQt(box.exec());
}

QString QtDialogs::saveFileName(const FileRequest& request) {
    QFileDialog dialog(QApplication::activeWindow(), request.title, request.folder, request.filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

QString QtDialogs::openFileName(const FileRequest& request) {
    QFileDialog dialog(QApplication::activeWindow(), request.title, request.folder, request.filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (!request.selectedFilter.isEmpty()) dialog.selectNameFilter(request.selectedFilter);
    if (!request.selectedFile.isEmpty()) dialog.selectFile(request.selectedFile);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}
