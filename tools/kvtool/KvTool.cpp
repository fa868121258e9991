#include "KvTool.h"

#include <QLibrary>
#include <QRandomGenerator>

#include "ArchiveCommands.h"
#include "BuildProfile.h"
#include "ConfigBaseLibrary.h"
#include "ConfigSource.h"
#include "DiffCommand.h"
#include "ReportCommand.h"
#include "IniFile.h"
#include "LibraryPath.h"
#include "ProgrammingFile.h"
#include "Scrambler.h"

namespace {
using GetResourceNumberFn = int32_t (*)(int32_t);
constexpr int kMaxListed = 10000;
}  // namespace

QString KvTool::Usage() {
    return QStringLiteral(
        "usage: kvtool [--key TEXT] [--library FILE] decode FILE\n"
        "       kvtool [--key TEXT] encode INI FILE\n"
        "       kvtool [--key TEXT] [--library FILE] base [N]\n"
        "       kvtool [--key TEXT] [--library FILE] diff A B\n"
        "       kvtool [--key TEXT] [--library FILE] [--lang CODE] [--page A4|Letter] report "
        "FILE OUT.pdf\n"
        "       kvtool encrypt FIRMWARE FILE\n"
        "       kvtool [--key TEXT] scramble FIRMWARE FILE\n"
        "       kvtool image FIRMWARE FILE\n") +
           ArchiveCommands::Usage();
}

int KvTool::Fail(const QString& message, int code) {
    err_ += QStringLiteral("kvtool: ") + message + QLatin1Char('\n');
    if (code == kUsage) err_ += Usage();
    return code;
}

int KvTool::Run(const QStringList& args) {
    key_ = BuildProfile::ScrambleKey();
    library_ = QString::fromLatin1(ConfigBaseLibrary::kDefaultName);
    QStringList words;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--key") || arg == QLatin1String("--library") ||
            arg == QLatin1String("--lang") || arg == QLatin1String("--page") ||
            arg == QLatin1String("--db")) {
            if (i + 1 >= args.size()) return Fail(arg + QStringLiteral(" needs a value"), kUsage);
            optionValue(arg) = args[++i];
        } else if (arg.startsWith(QLatin1String("--"))) {
            return Fail(QStringLiteral("unknown option ") + arg, kUsage);
        } else {
            words.append(arg);
        }
    }
    if (key_.size() > BuildProfile::kMaxKeyLength || !Scrambler::KeyBytes(key_))
        return Fail(QStringLiteral("the key must be 1 to %1 characters of Latin-1")
                        .arg(BuildProfile::kMaxKeyLength),
                    kUsage);
    const QString command = words.value(0);
    if (command == QLatin1String("decode") && words.size() == 2) return Decode(words[1]);
    if (command == QLatin1String("encode") && words.size() == 3) return Encode(words[1], words[2]);
    if ((command == QLatin1String("encrypt") || command == QLatin1String("scramble") ||
         command == QLatin1String("image")) &&
        words.size() == 3)
        return MakeProgrammingFile(command, words[1], words[2]);
    if (command == QLatin1String("archive") && words.size() >= 2) {
        const int code = ArchiveCommands(out_, err_, key_).Run(words.mid(1), db_);
        if (code == kUsage) err_ += Usage();
        return code;
    }
    if (command == QLatin1String("diff") && words.size() == 3) return Diff(words[1], words[2]);
    if (command == QLatin1String("report") && words.size() == 3)
        return Report(words[1], words[2]);
    if (command == QLatin1String("base") && words.size() == 1) return ListBase();
    if (command == QLatin1String("base") && words.size() == 2) return PrintBase(words[1]);
    return Fail(words.isEmpty() ? QStringLiteral("no command") : QStringLiteral("bad command line"),
                kUsage);
}

QString& KvTool::optionValue(const QString& option) {
    if (option == QLatin1String("--key")) return key_;
    if (option == QLatin1String("--library")) return library_;
    if (option == QLatin1String("--db")) return db_;
    return option == QLatin1String("--lang") ? language_ : page_;
}

int KvTool::Report(const QString& file, const QString& pdf) {
    ReportCommand report({key_, library_, language_, page_});
    const int status = report.Run(file, pdf);
    err_ += report.err();
    return status;
}

int KvTool::Diff(const QString& a, const QString& b) {
    DiffCommand diff(key_, library_);
    const int status = diff.Run(a, b);
    out_ += diff.out();
    err_ += diff.err();
    return status;
}

QByteArray KvTool::PlainText(const QByteArray& unscrambled) {
    const QByteArray header = QByteArray(Scrambler::kDecryptedHeader);
    if (!unscrambled.startsWith(header)) return unscrambled;
    qsizetype at = header.size();
    if (unscrambled.mid(at, 1) == "\r") ++at;
    if (unscrambled.mid(at, 1) == "\n") ++at;
    return unscrambled.mid(at);
}

int KvTool::Decode(const QString& file) {
    const auto bytes = Scrambler::ReadWholeFile(file, IniFile::kMaxSize);
    if (!bytes) return Fail(file + QStringLiteral(": cannot read the file"));
    const auto text = Scrambler::Convert(*bytes, true, true, key_);
    if (!text || !ConfigSource::IsConfigurationText(*text))
        return Fail(file + QStringLiteral(": not a configuration file (damaged, cut short or "
                                          "scrambled with another key)"));
    out_ += PlainText(*text);
    return kOk;
}

int KvTool::Encode(const QString& ini, const QString& file) {
    const auto bytes = Scrambler::ReadWholeFile(ini, IniFile::kMaxSize);
    if (!bytes) return Fail(ini + QStringLiteral(": cannot read the file"));
    if (bytes->startsWith(Scrambler::kEncryptedHeader))
        return Fail(ini + QStringLiteral(": already scrambled"));
    if (!ConfigSource::IsConfigurationText(*bytes))
        return Fail(ini + QStringLiteral(": not INI text with keys in sections, ending with a "
                                         "line break"));
    const auto scrambled = Scrambler::Convert(*bytes, false, true, key_);
    if (!scrambled || !Scrambler::WriteWholeFile(file, *scrambled))
        return Fail(file + QStringLiteral(": cannot write the file"));
    return kOk;
}

namespace {
QByteArray randomBytes(qsizetype size) {
    QByteArray bytes(size, '\0');
    for (char& byte : bytes) byte = static_cast<char>(QRandomGenerator::system()->bounded(256));
    return bytes;
}
}  // namespace

int KvTool::MakeProgrammingFile(const QString& kind, const QString& firmware, const QString& file) {
    const auto plain = Scrambler::ReadWholeFile(firmware);
    if (!plain) return Fail(firmware + QStringLiteral(": cannot read the file"));
    if (plain->isEmpty()) return Fail(firmware + QStringLiteral(": no firmware in it"));
    std::optional<QByteArray> bytes;
    if (kind == QLatin1String("encrypt")) {
        // Never a mask without a set bit: the key would be the digest of nothing.
        QByteArray mask = randomBytes(ProgrammingFile::kMaskSize);
        mask[0] = static_cast<char>(mask[0] | 0x01);
        bytes = ProgrammingFile::Encrypt(*plain, mask, randomBytes(ProgrammingFile::kGroupsSize));
    } else if (kind == QLatin1String("scramble")) {
        bytes = ProgrammingFile::Scramble(*plain, key_);
        if (!bytes)
            return Fail(firmware + QStringLiteral(": scrambled, it would read as an encrypted "
                                                  "file; use encrypt"));
    } else {
        bytes = ProgrammingFile::MakeImage(*plain);
    }
    if (!Scrambler::WriteWholeFile(file, *bytes))
        return Fail(file + QStringLiteral(": cannot write the file"));
    return kOk;
}

bool KvTool::LoadLibrary() {
    base_ = std::make_unique<ConfigBaseLibrary>();
    if (base_->Load(library_)) return true;
    Fail(library_ + QStringLiteral(": cannot load the base-configuration library: ") +
         base_->LoadError());
    return false;
}

int KvTool::ListBase() {
    if (!LoadLibrary()) return kFailed;
    QLibrary library(LibraryPath::resolve(library_));
    const auto numberAt =
        reinterpret_cast<GetResourceNumberFn>(library.resolve("_GetResourceNumber"));
    if (!numberAt) return Fail(library_ + QStringLiteral(": does not list its resources"));
    for (int32_t index = 0; index < kMaxListed; ++index) {
        const int32_t number = numberAt(index);
        if (number == 0) break;
        const auto data = base_->Resource(number);
        const auto text =
            data ? Scrambler::UnscrambleResourceBytes(*data, true, key_) : std::nullopt;
        if (!text || !ConfigSource::IsConfigurationText(*text)) {
            out_ += QByteArray::number(number) + "\t?\t?\n";
            err_ +=
                QStringLiteral("kvtool: resource %1 is not readable with this key\n").arg(number);
            continue;
        }
        IniFile ini;
        ini.Parse(*text);
        const int flag1 =
            ConfigSource::ParseInt(ini.Value("Generale", "Flag1").value_or("0")).value_or(0);
        const QString injector = ini.Value("Iniezione", "TipoIniettoreSoftware").value_or("?");
        out_ += QByteArray::number(number) + '\t' + ((flag1 & 0x0002) ? "CNG" : "LPG") + '\t' +
                injector.toUtf8() + '\n';
    }
    return err_.isEmpty() ? kOk : kFailed;
}

int KvTool::PrintBase(const QString& number) {
    bool ok = false;
    const int32_t n = number.toInt(&ok);
    if (!ok) return Fail(number + QStringLiteral(": not a resource number"), kUsage);
    if (!LoadLibrary()) return kFailed;
    const auto data = base_->Resource(n);
    if (!data) return Fail(QStringLiteral("no base configuration %1").arg(n));
    const auto text = Scrambler::UnscrambleResourceBytes(*data, true, key_);
    if (!text || !ConfigSource::IsConfigurationText(*text))
        return Fail(QStringLiteral("base configuration %1 is not readable with this key").arg(n));
    out_ += *text;
    return kOk;
}
