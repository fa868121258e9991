#include "ConfigSource.h"

#include <QDir>
#include <algorithm>

#include "ConfigBaseLibrary.h"
#include "Scrambler.h"
#include "TransferError.h"

namespace {
QString Text(const char* text) { return QString::fromUtf8(text); }
}  // namespace

ConfigSource::~ConfigSource() { Reset(); }

void ConfigSource::Reset() {
    if (copy_) copy_->remove();
    copy_.reset();
    ini_ = IniFile{};
    missed_.clear();
    open_ = false;
    resource_ = false;
}

bool ConfigSource::CreateCopy() {
    // QTemporaryFile creates the name exclusively, readable by this user only.
    copy_ = std::make_unique<QTemporaryFile>(QDir::tempPath() + QStringLiteral("/_mtXXXXXX.tmp"));
    if (!copy_->open()) {
        copy_.reset();
        return false;
    }
    // Asking for the name gives the file one on disk (Linux may create it unnamed).
    const bool named = !copy_->fileName().isEmpty();
    copy_->close();
    if (!named) copy_.reset();
    return named;
}

bool ConfigSource::LoadCopy() {
    const auto text = Scrambler::ReadWholeFile(copy_->fileName(), IniFile::kMaxSize);
    return text && IsConfigurationText(*text, ini_);
}

void ConfigSource::OpenFile(const QString& fileName, bool forReading, const QString& key) {
    if (open_) return;
    const bool ok =
        CreateCopy() &&
        (!forReading ||
         (Scrambler::ScrambleFile(fileName, copy_->fileName(), true, true, key) && LoadCopy()));
    if (!ok) {
        Reset();
        throw TransferError(Text(kReadFailed));
    }
    if (!forReading) ini_.Parse({});
    fileName_ = fileName;
    key_ = key;
    open_ = true;
    resource_ = false;
}

void ConfigSource::OpenResource(int number, const QString& key) {
    if (open_) return;
    const ConfigBaseLibrary* library = ConfigBaseLibrary::Current();
    const auto data = library ? library->Resource(number) : std::nullopt;
    const bool ok = data && CreateCopy() &&
                    Scrambler::UnscrambleResource(*data, copy_->fileName(), true, key) &&
                    LoadCopy();
    if (!ok) {
        Reset();
        throw TransferError(Text(kResourceFailed));
    }
    key_ = key;
    open_ = true;
    resource_ = true;
}

void ConfigSource::CloseFile() {
    if (!open_) return;
    if (resource_) return CloseResource();
    bool ok = !ini_.IsModified() || ini_.Save(copy_->fileName());
    if (ok) {
        const auto copy = Scrambler::ReadWholeFile(copy_->fileName(), IniFile::kMaxSize);
        const auto scrambled = copy ? Scrambler::Convert(*copy, false, true, key_) : std::nullopt;
        ok = scrambled && (Scrambler::ReadWholeFile(fileName_) == scrambled ||
                           Scrambler::WriteWholeFile(fileName_, *scrambled));
    }
    Reset();
    if (!ok) throw TransferError(Text(kWriteFailed));
}

void ConfigSource::CloseResource() { Reset(); }

void ConfigSource::OpenText() {
    if (open_) return;
    ini_.Parse({});
    fileName_.clear();
    open_ = true;
    // Closed as a resource is: nothing to write back.
    resource_ = true;
}

bool ConfigSource::IsConfigurationText(const QByteArray& text) {
    IniFile ini;
    return IsConfigurationText(text, ini);
}

bool ConfigSource::IsConfigurationText(const QByteArray& text, IniFile& ini) {
    QByteArrayView body(text);
    const QByteArrayView header(Scrambler::kDecryptedHeader);
    if (body.startsWith(header)) body = body.sliced(header.size());
    while (body.startsWith('\r') || body.startsWith('\n')) body = body.sliced(1);
    if (body.isEmpty() || !body.endsWith('\n')) return false;
    for (char c : body) {
        const auto b = static_cast<uint8_t>(c);
        if ((b < 0x20 && b != '\t' && b != '\r' && b != '\n') || b == 0x7F) return false;
    }
    ini.Parse(text);
    return ini.EntryCount() > 0;
}

std::optional<int32_t> ConfigSource::ParseInt(const QString& text) {
    bool ok = false;
    const QString t = text.trimmed();
    qlonglong value = 0;
    if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        value = t.mid(2).toLongLong(&ok, 16);
    else
        value = t.toLongLong(&ok, 10);
    if (!ok || value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return static_cast<int32_t>(value);
}

std::optional<QString> ConfigSource::Lookup(const QString& key, const QString& section) {
    if (!open_) return std::nullopt;
    auto value = ini_.Value(section, key);
    if (!value) missed_.append(section + QLatin1Char('/') + key);
    return value;
}

void ConfigSource::ReadInt(int32_t& value, const QString& key, const QString& section) {
    const auto text = Lookup(key, section);
    if (!text) return;
    if (const auto number = ParseInt(*text)) value = *number;
}

void ConfigSource::ReadBool(bool& value, const QString& key, const QString& section) {
    const auto text = Lookup(key, section);
    if (!text) return;
    if (text->compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        value = true;
    else if (text->compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        value = false;
    else if (const auto number = ParseInt(*text))
        value = *number != 0;
}

void ConfigSource::ReadText(QString& text, const QString& key, const QString& section,
                            int maxLength) {
    const auto value = Lookup(key, section);
    if (!value) return;
    qsizetype length = std::clamp<qsizetype>(maxLength - 1, 0, value->size());
    // Never half of a surrogate pair.
    if (length > 0 && length < value->size() && value->at(length - 1).isHighSurrogate()) --length;
    text = value->left(length);
}

void ConfigSource::WriteInt(int32_t value, const QString& key, const QString& section) {
    if (open_) ini_.SetValue(section, key, QString::number(value));
}

void ConfigSource::WriteBool(bool value, const QString& key, const QString& section) {
    if (open_) ini_.SetValue(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void ConfigSource::WriteText(const QString& text, const QString& key, const QString& section) {
    if (open_) ini_.SetValue(section, key, text);
}
