#include "AcquisitionWriter.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <filesystem>
#include <system_error>

#include "AcquisitionFormat.h"

namespace {
constexpr char kTemporaryPrefix[] = "__acqtmp";
constexpr qint64 kCopyChunk = 1 << 20;

QString temporaryName(const QString& folder, int n) {
    return QDir(folder).filePath(kTemporaryPrefix + QString::number(n) + QStringLiteral(".txt"));
}

// The bytes of source into target through a sibling file renamed at the end.
bool copyOnto(const QString& source, const QString& target, QString* error) {
    QFile in(source);
    QSaveFile out(target);
    if (!in.open(QIODevice::ReadOnly)) {
        if (error) *error = in.errorString();
        return false;
    }
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (error) *error = out.errorString();
        return false;
    }
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(kCopyChunk);
        if (in.error() != QFileDevice::NoError || out.write(chunk) != chunk.size()) {
            if (error)
                *error = in.error() != QFileDevice::NoError ? in.errorString() : out.errorString();
            out.cancelWriting();
            return false;
        }
    }
    if (!out.commit()) {
        if (error) *error = out.errorString();
        return false;
    }
    in.close();
    QFile::remove(source);  // the recording is safe under its new name either way
    return true;
}
}  // namespace

AcquisitionWriter::~AcquisitionWriter() { Close(); }

QString AcquisitionWriter::FreeTemporaryName(const QString& folder) {
    for (int n = 0; n < kMaxTemporaryNumber; ++n) {
        const QString name = temporaryName(folder, n);
        if (!QFileInfo::exists(name)) return name;
    }
    return temporaryName(folder, kMaxTemporaryNumber);
}

bool AcquisitionWriter::Open(const QString& folder, int version, const QString& started) {
    Close();
    error_.clear();
    version_ = version;
    QDir().mkpath(folder);
    file_.setFileName(FreeTemporaryName(folder));
    // NewOnly: a file another program created meanwhile is never truncated.
    if (!file_.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        error_ = file_.errorString();
        return false;
    }
    if (write(AcquisitionFormat::Header(version, started) + AcquisitionFormat::kLineEnd +
              AcquisitionFormat::Headings(version)))
        return true;
    file_.close();
    file_.remove();  // ours, and nothing recorded in it yet
    return false;
}

bool AcquisitionWriter::Append(const AcquisitionRecord& record) {
    return write(AcquisitionFormat::kLineEnd + AcquisitionFormat::Record(record, version_));
}

bool AcquisitionWriter::write(const QByteArray& bytes) {
    if (!file_.isOpen()) return false;
    if (file_.write(bytes) == bytes.size() && file_.flush()) return true;
    error_ = file_.errorString();
    return false;
}

bool AcquisitionWriter::Close() {
    if (!file_.isOpen()) return true;
    const bool flushed = file_.flush();
    if (!flushed) error_ = file_.errorString();
    file_.close();
    return flushed && file_.error() == QFileDevice::NoError;
}

bool AcquisitionWriter::MoveOnto(const QString& source, const QString& target, QString* error) {
    const QFileInfo from(source), to(target);
    if (to.exists() && from.canonicalFilePath() == to.canonicalFilePath()) return true;
    if (to.isDir()) {
        if (error) *error = QStringLiteral("is a folder");
        return false;
    }
    // rename() replaces the target in one step on the same file system.
    std::error_code code;
    std::filesystem::rename(std::filesystem::path(source.toStdU16String()),
                            std::filesystem::path(target.toStdU16String()), code);
    if (!code) return true;
    if (code != std::errc::cross_device_link) {
        if (error) *error = QString::fromStdString(code.message());
        return false;
    }
    return copyOnto(source, target, error);
}
