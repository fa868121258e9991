#include "AcquisitionRecorder.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <cmath>

#include "AcquisitionFormat.h"
#include "Clock.h"
#include "Dialogs.h"
#include "Language.h"
#include "LiveValues.h"

namespace {
const QString kExtension = QStringLiteral("txt");

QString startText() {
    const QLocale locale;
    const QDateTime now = QDateTime::currentDateTime();
    return locale.toString(now.date(), QLocale::LongFormat) + u' ' +
           locale.toString(now.time(), QLocale::LongFormat);
}

QString withReason(const QString& text, const QString& reason) {
    return reason.isEmpty() ? text : text + QStringLiteral("\n(") + reason + u')';
}
}  // namespace

AcquisitionRecord AcquisitionRecorder::RecordOf(const LiveValues& v, int pressureMean) {
    const auto hundredths = [](double volts) { return std::trunc(volts * 100) * 0.01; };
    return {.time = 0,
            .rpm = v.rpm,
            .lambda1 = hundredths(v.lambda1),
            .gasTime1 = v.gasMs1,
            .petrolTime1 = v.petrolMs1,
            .pressure = pressureMean == 0 ? 0.0 : pressureMean * 0.01,
            .reducerTemp = std::trunc(v.t1),
            .engineTemp = std::trunc(v.t2),
            .lambda2 = hundredths(v.lambda2),
            .gasTime2 = v.gasMs2,
            .petrolTime2 = v.petrolMs2};
}

bool AcquisitionRecorder::Start(const QString& title, bool secondProbe) {
    if (IsRecording()) return true;
    if (writer_.Open(folder_, AcquisitionFormat::Version(secondProbe), startText())) {
        startMs_ = Clock::current().nowMs();
        return true;
    }
    Dialogs::current().error(
        title,
        withReason(
            LoadTextOr(610, QStringLiteral("Impossibile creare il file dell'acquisizione:")) +
                u'\n' + QDir::toNativeSeparators(writer_.Path()),
            writer_.ErrorString()));
    return false;
}

bool AcquisitionRecorder::Append(AcquisitionRecord record, const QString& title) {
    if (!IsRecording()) return false;
    record.time = static_cast<int32_t>(Clock::current().nowMs() - startMs_);
    if (writer_.Append(record)) return true;
    const QString reason = writer_.ErrorString();
    writer_.Close();
    keep(title,
         LoadTextOr(611, QStringLiteral("Impossibile scrivere il file dell'acquisizione: il "
                                        "salvataggio è stato interrotto.")),
         reason);
    return false;
}

void AcquisitionRecorder::Stop(const QString& title) {
    if (!IsRecording()) return;
    if (!writer_.Close()) {
        keep(title,
             LoadTextOr(612, QStringLiteral("Impossibile chiudere il file dell'acquisizione.")),
             writer_.ErrorString());
        return;
    }
    saveAs(title);
}

bool AcquisitionRecorder::saveAs(const QString& title) {
    Dialogs::FileRequest request;
    request.title = LoadTextOr(233, QStringLiteral("Salva acquisizione con nome..."));
    request.folder = folder_;
    request.filter = LoadTextOr(234, QStringLiteral("Acquisizioni in tempo reale")) +
                     QStringLiteral(" (*.") + kExtension + u')';
    request.defaultSuffix = kExtension;
    const QString recording = writer_.Path();
    for (;;) {
        const QString chosen = Dialogs::current().saveFileName(request);
        if (chosen.isEmpty()) {
            QFile::remove(recording);  // the user let the recording go
            return false;
        }
        lastFileName_ = chosen;
        QString reason;
        if (AcquisitionWriter::MoveOnto(recording, chosen, &reason)) return true;
        if (!QFileInfo::exists(chosen)) {
            keep(title,
                 LoadTextOr(613, QStringLiteral("Impossibile salvare l'acquisizione con il nome "
                                                "scelto.")),
                 reason);
            return false;
        }
        // The file there stays as it was: the user picks another name.
        Dialogs::current().error(
            title,
            LoadTextOr(237, QStringLiteral("Il file esistente non può essere sovrascritto.")) +
                u'\n' +
                LoadTextOr(238, QStringLiteral("Assegnare un nome differente al nuovo file.")));
    }
}

void AcquisitionRecorder::keep(const QString& title, const QString& what, const QString& reason) {
    Dialogs::current().error(
        title, withReason(what, reason) + u'\n' +
                   LoadTextOr(614, QStringLiteral("I dati registrati sono conservati nel file:")) +
                   u'\n' + QDir::toNativeSeparators(writer_.Path()));
}
