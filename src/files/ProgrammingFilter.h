#pragma once

#include <QString>
#include <QStringList>

// The entries of the programming-file dialog: with an ECU connected, the programming files of
// its model; without one, those of both models with the current model's first in view. The
// image files, which the link reads by name, come last, of the same models.
class ProgrammingFilter {
  public:
    // model: the connected ECU's model code, or the data module's current one.
    ProgrammingFilter(bool connected, int model);

    QStringList Entries() const { return entries_; }
    // The entries as one file-dialog filter, and the entry shown first.
    QString Text() const { return entries_.join(QStringLiteral(";;")); }
    QString Selected() const { return selected_; }

    static QString ImageExtension(int model);
    // The image files are told by their extension, whatever entry was in view.
    static bool IsImageFile(const QString& fileName);

  private:
    QStringList entries_;
    QString selected_;
};
