#pragma once

#include <QString>

class QSettings;

// The program's persistent settings: serial port number, language index and main working
// folder, and where the workshop archive is ("Archivio"), kept under the user's settings key
// (the registry on Windows, an INI file elsewhere). Written back when the component is
// destroyed, which also repairs a key that could not be read.
class TQorGlobalData {
  public:
    static constexpr int kDefaultComPort = 1;
    static constexpr int kDefaultLanguage = 0;

    TQorGlobalData();
    ~TQorGlobalData();
    TQorGlobalData(const TQorGlobalData&) = delete;
    TQorGlobalData& operator=(const TQorGlobalData&) = delete;

    // "\Software\" + subkey: the settings key; replaced by the data module before loading.
    QString StrKey() const { return strKey_; }
    void SetStrKey(const QString& key) { strKey_ = key; }
    bool CanStart() const { return canStart_; }
    void SetCanStart(bool canStart) { canStart_ = canStart; }

    // Reads "ComPort", "MainPath", "Language" in that order. False when the key cannot be
    // opened or a value is missing or of the wrong type: the values read before it keep
    // their new values, the rest their defaults.
    bool LoadStrKey();
    // LoadStrKey; when it fails, tells the user (error icon, the given title) that the
    // settings are reset and go on with the defaults, written back at exit.
    bool LoadStrKeyOrWarn(const QString& title);
    static const QString kRepairText;

    // 1 -> port, 2 -> language, anything else 0.
    int Get(int index) const;
    // Index 0 copies the main path and returns 1; other indexes return 0.
    int Get(int index, QString& text) const;
    // 1 -> port, 2 -> language: returns 1; others return 0 and change nothing.
    int Set(int index, int value);
    // Index 0 sets the main path: returns 1; others 0.
    int Set(int index, const QString& text);

    // "Archivio": empty = the SQLite file in the base directory, a postgresql:// URL = a
    // server. Optional: a key without it is no damage.
    QString Archive() const { return archive_; }
    void SetArchive(const QString& location) { archive_ = location; }
    // The value alone, read without a component that would write the key back.
    static QString ReadArchive(const QString& strKey);

    // Writes the values now (the destructor does the same).
    bool Save() const;

    // The settings store under StrKey, for values of other parts of the program (the
    // caller owns it).
    QSettings* OpenSettings() const { return open(strKey_); }

  private:
    // The settings store for StrKey: "\Software\X" is organisation X of the user scope.
    static QSettings* open(const QString& strKey);

    QString strKey_ = QStringLiteral("\\Software\\Qor");
    bool canStart_ = true;
    int comPort_ = kDefaultComPort;
    int language_ = kDefaultLanguage;
    QString mainPath_;
    QString archive_;
};
