#pragma once

#include <QDialog>
#include <optional>

#include "WorkshopDetails.h"

class QLineEdit;

// The workshop's name, address and telephone, asked the first time a report is made.
class TFormOfficina : public QDialog {
    Q_OBJECT

  public:
    explicit TFormOfficina(const WorkshopDetails& details, QWidget* parent = nullptr);
    WorkshopDetails Details() const;

    // The details entered, nothing when the technician cancels.
    static std::optional<WorkshopDetails> Ask(const WorkshopDetails& details, QWidget* parent);

  private:
    QLineEdit* EditNome;
    QLineEdit* EditIndirizzo;
    QLineEdit* EditTelefono;
};
