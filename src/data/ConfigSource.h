#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryFile>
#include <cstdint>
#include <memory>

#include "IniFile.h"

// The open configuration source of a transfer: a configuration file or a base configuration
// of the library, unscrambled into a temporary copy "_mt*.tmp" in the temporary folder and
// read and written there as INI text. Closing a file scrambles the copy back onto it,
// atomically; closing a resource only drops the copy. The copy never outlives the source.
class ConfigSource {
  public:
    static constexpr const char* kReadFailed = "Impossibile leggere i dati dal file impostato";
    static constexpr const char* kResourceFailed =
        "Impossibile caricare i dati dalla risorsa impostata";
    static constexpr const char* kWriteFailed = "Impossibile salvare i dati nel file impostato";

    ConfigSource() = default;
    // A source still open is dropped without writing anything back: a target is either
    // replaced whole by CloseFile or left as it was.
    ~ConfigSource();
    ConfigSource(const ConfigSource&) = delete;
    ConfigSource& operator=(const ConfigSource&) = delete;

    // Nothing when a source is already open. forReading: the file is unscrambled into the
    // copy and must hold configuration text; else the copy starts empty. Throws TransferError
    // (kReadFailed) and leaves no copy behind.
    void OpenFile(const QString& fileName, bool forReading, const QString& key);
    // Base configuration number of ConfigBaseLibrary::Current(). Throws TransferError
    // (kResourceFailed).
    void OpenResource(int number, const QString& key);
    // Writes the copy, scrambled with its header, over the file through a sibling file and a
    // rename; a file that already holds exactly those bytes is left alone. Throws
    // TransferError (kWriteFailed) with the old file intact. The copy goes either way.
    void CloseFile();
    void CloseResource();
    // A source of text alone: written as a file is, nothing read and nothing on disk.
    // IniText() gives the INI text a file would receive before scrambling; CloseResource
    // drops it.
    void OpenText();
    QByteArray IniText() const { return ini_.ToBytes(); }

    bool IsOpen() const { return open_; }
    bool IsResource() const { return open_ && resource_; }
    QString FileName() const { return fileName_; }

    // Read* change the value only when the key exists; text is cut to maxLength - 1
    // characters. With no source open, all of them do nothing.
    void ReadInt(int32_t& value, const QString& key, const QString& section);
    void ReadBool(bool& value, const QString& key, const QString& section);
    void ReadText(QString& text, const QString& key, const QString& section, int maxLength);
    void WriteInt(int32_t value, const QString& key, const QString& section);
    void WriteBool(bool value, const QString& key, const QString& section);
    void WriteText(const QString& text, const QString& key, const QString& section);

    // "section/key" of every read since the source opened that found no key.
    const QStringList& MissedKeys() const { return missed_; }

    // Configuration text: something besides the header line, no control bytes but tab and
    // line ends, at least one key in a section, and a final line break (a file cut short
    // mid-line is refused rather than read with a shortened value).
    static bool IsConfigurationText(const QByteArray& text);
    // The same, leaving the parsed text in ini.
    static bool IsConfigurationText(const QByteArray& text, IniFile& ini);

    // Integers as the files write them: decimal with an optional sign, or "0x" hexadecimal;
    // nothing for anything else or out of 32-bit range.
    static std::optional<int32_t> ParseInt(const QString& text);

  private:
    std::optional<QString> Lookup(const QString& key, const QString& section);
    bool CreateCopy();
    bool LoadCopy();
    void Reset();

    std::unique_ptr<QTemporaryFile> copy_;
    IniFile ini_;
    QString fileName_;
    QString key_;
    QStringList missed_;
    bool open_ = false;
    bool resource_ = false;
};
