#include "EcuConnection.h"

#include "BuildProfile.h"
#include "BusyCursor.h"
#include "ConfigBaseLibrary.h"
#include "Language.h"
#include "TStreamDati.h"
#include "WaitView.h"

namespace {
QString errorCode(const QString& code) { return QStringLiteral("\n(ERR.CODE: ") + code + u')'; }

QString text(int number, const char* fallback) {
    return LoadTextOr(number, QString::fromUtf8(fallback));
}

QString loadingCaption() { return text(49, "Caricamento dati dalla centralina"); }
}  // namespace

EcuConnection::EcuConnection(TStreamDati& data) : data_(data) {}

QString EcuConnection::title() const { return title_ ? title_() : BuildProfile::ProductTitle(); }

QString EcuConnection::LinkFailureText() {
    return text(38, "Impossibile connettersi.") + u'\n' + text(40, "Controllare il collegamento.") +
           errorCode(QStringLiteral("C01"));
}

QString EcuConnection::IdentityFailureText() {
    return text(39, "Errore nell'identificazione della centralina connessa.") +
           errorCode(QStringLiteral("C02"));
}

QString EcuConnection::IncompatibleText() {
    return text(55, "La centralina attualmente connessa non è compatibile.") + u'\n' +
           text(38, "Impossibile connettersi.") + errorCode(QStringLiteral("C03"));
}

QString EcuConnection::PortDeniedText() {
    return text(695,
                "La porta seriale non è accessibile a questo utente. Dove la regola installata "
                "con il programma non vale, eseguire una volta il comando:\n"
                "sudo usermod -aG dialout $USER\n"
                "poi uscire dalla sessione e accedere di nuovo.");
}

QString EcuConnection::DisturbedLineText(int percent) {
    return text(696,
                "La linea seriale è disturbata: il %1% delle risposte della centralina è stato "
                "richiesto di nuovo.\nControllare il cavo e il connettore.")
        .arg(percent);
}

Dialogs::Answer EcuConnection::AskSaveChanges() {
    if (!data_.IsModified()) return Dialogs::Answer::No;
    const Dialogs::Answer answer =
        Dialogs::current().message(title(), text(58, "Salvare i dati in memoria in un file?"),
                                   Dialogs::Icon::Warning, Dialogs::Buttons::YesNoCancel);
    if (answer != Dialogs::Answer::Yes || !save_) return answer;
    save_();
    // A store still modified was not saved (the dialog cancelled, the file not written): going
    // on would lose what the technician asked to keep.
    return data_.IsModified() ? Dialogs::Answer::Cancel : answer;
}

bool EcuConnection::CheckCompatibility() {
    if (!BuildProfile::IsBuildModel(data_.Identity(1))) return false;
    if (data_.Identity(0) == BuildProfile::kBlankCustomerCode)
        data_.WriteCustomerCode(BuildProfile::CustomerCode());
    return (BuildProfile::CustomerMaskOf(data_.Identity(0)) & BuildProfile::CustomerMask()) != 0;
}

void EcuConnection::setIdentityDefaults() { data_.SetIdentityDefaults(BuildProfile::ModelCode(0)); }

void EcuConnection::loadBaseDefaults() {
    const ConfigBaseLibrary* base = ConfigBaseLibrary::Current();
    const int resource = base ? base->GetResourceId(0, 0, 0, BuildProfile::CustomerCode()) : 0;
    data_.Transfer(TStreamDati::kLoadDefaults, QString(), resource, 0xFF, false);
}

bool EcuConnection::identify() {
    data_.Connect();
    return data_.ReadIdentity();
}

EcuConnection::Result EcuConnection::Connect() {
    if (AskSaveChanges() == Dialogs::Answer::Cancel) return Result::Cancelled;
    BusyCursor busy;
    Disconnect();
    setIdentityDefaults();
    loadBaseDefaults();
    if (!data_.OpenLink()) {
        QString message = LinkFailureText();
        if (data_.QorConnectEcu().PortDenied()) message += QStringLiteral("\n\n") + PortDeniedText();
        Dialogs::current().error(title(), message);
        return Result::NoLink;
    }
    if (!identify()) {
        Dialogs::current().error(title(), IdentityFailureText());
        Disconnect();
        return Result::NotIdentified;
    }
    if (!CheckCompatibility()) {
        Disconnect();
        Dialogs::current().error(title(), IncompatibleText());
        setIdentityDefaults();
        return Result::Incompatible;
    }
    std::unique_ptr<WaitView> wait = waitFactory_ ? waitFactory_() : nullptr;
    if (wait) {
        wait->SetCaption(QStringLiteral("  ") + loadingCaption());
        wait->SetMessage(text(75, "Inizializzazione centralina in corso..."));
        wait->SetCompletionSuffix(u' ' + text(59, "Completato") + u' ');
        wait->Open();
    }
    data_.Reconnect(TStreamDati::kReconnectMs);
    const int32_t status = data_.ReadStatus();
    const Result result =
        (status & EcuVariable::kInitialiseBit) ? initialise(wait.get(), status) : load(wait.get());
    // The wait dialog goes first: an error box must not sit on a wait that is over.
    wait.reset();
    if (result == Result::Loaded) data_.Announce(StoreMoment::Connected);
    if (result == Result::Initialised) data_.Announce(StoreMoment::Initialised);
    if (result == Result::WriteFailed || result == Result::ReadFailed)
        Dialogs::current().error(title(), LinkFailureText());
    return result;
}

EcuConnection::Result EcuConnection::initialise(WaitView* wait, int32_t status) {
    if (wait) {
        wait->SetCaption(QStringLiteral("! ") + loadingCaption());
        wait->SetMessage(text(52, "Caricamento dati in corso: attendere..."));
        wait->Open();
    }
    const bool bigModel = data_.Identity(1) == BuildProfile::ModelCode(1);
    data_.SetValue(EcuVariable::kInjectionType, bigModel ? 6 : 4);
    data_.SetSerialNumber(data_.ReadEcuSerialNumber());
    data_.ClearResetRequest(status);
    return data_.Transfer(TStreamDati::kWriteEcu, QString(), 0, 0xFF, true) ? Result::Initialised
                                                                            : Result::WriteFailed;
}

EcuConnection::Result EcuConnection::load(WaitView* wait) {
    if (wait) {
        wait->SetCaption(QStringLiteral("  ") + loadingCaption());
        wait->SetMessage(text(52, "Caricamento dati in corso: attendere..."));
        wait->Open();
    }
    // A configuration read only in part is no configuration to work on: the caller says so.
    return data_.Transfer(TStreamDati::kReadEcu, QString(), 0, 0xFF, true) ? Result::Loaded
                                                                           : Result::ReadFailed;
}

void EcuConnection::Disconnect() {
    data_.Announce(StoreMoment::Disconnecting);
    data_.Disconnect();
}
