#include "TFormOfficina.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

#include "Language.h"

namespace {
QLineEdit* field(const char* name, const QString& text, QWidget* parent) {
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMaxLength(WorkshopDetails::kMaxText);
    edit->setMinimumWidth(360);
    return edit;
}
}  // namespace

TFormOfficina::TFormOfficina(const WorkshopDetails& details, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FormOfficina"));
    setWindowTitle(LoadTextOr(748, QStringLiteral("Dati dell'officina")));
    EditNome = field("EditNome", details.name, this);
    EditIndirizzo = field("EditIndirizzo", details.address, this);
    EditTelefono = field("EditTelefono", details.telephone, this);
    auto* form = new QFormLayout(this);
    form->addRow(LoadTextOr(722, QStringLiteral("Officina")), EditNome);
    form->addRow(LoadTextOr(723, QStringLiteral("Indirizzo")), EditIndirizzo);
    form->addRow(LoadTextOr(724, QStringLiteral("Telefono")), EditTelefono);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    EditNome->setFocus();
}

WorkshopDetails TFormOfficina::Details() const {
    return WorkshopDetails{EditNome->text(), EditIndirizzo->text(), EditTelefono->text()}.Bounded();
}

std::optional<WorkshopDetails> TFormOfficina::Ask(const WorkshopDetails& details, QWidget* parent) {
    TFormOfficina form(details, parent);
    if (form.exec() != QDialog::Accepted) return std::nullopt;
    return form.Details();
}
