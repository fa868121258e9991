#pragma once

#include <QDate>
#include <QString>
#include <vector>

class QFileInfo;

// The vehicle configuration files of one fuel and one ECU model: the folder they live in
// under the program's base directory, the extension of the model, how a typed name becomes
// a path, and which files there are. No widget: the chooser window shows what this finds.
class ConfigFiles {
  public:
    static constexpr int kMaxName = 50;

    // One file of the folder as the chooser lists it.
    struct Entry {
        QString caption;   // the file name without its last four characters
        QString fileName;  // the name on disk
        QDate created;     // the file system's creation date, else the last write's
    };

    // cng: option 1 of the configuration (fuel); model: an ECU model code.
    ConfigFiles(const QString& baseDirectory, bool cng, int model);

    // "ConfigCNG" for methane, "ConfigLPG" for LPG.
    static QString FolderName(bool cng);
    // The proposed name of a description: . / \ " , ; removed.
    static QString CleanName(const QString& description);
    // The name as typed, without any folder part.
    static QString WithoutFolder(const QString& name);

    // The working folder, ending in a separator.
    QString Folder() const { return folder_; }
    // Creates the working folder with every missing parent; false when it is not there after.
    bool MakeFolder() const;

    int Model() const { return model_; }
    void SetModel(int model) { model_ = model; }
    // "kv4" or "kv8", without the dot.
    QString Extension() const;

    // Where a typed name is saved: the name's folder part dropped (a file never lands
    // outside the working folder), the extension appended unless the name already ends in
    // it (any case). Empty when no file name is left.
    QString SavePath(const QString& name) const;
    // The file to load for a name: the listed file whose caption it is, else the name with
    // the extension appended unless the name holds it somewhere (any case).
    QString LoadPath(const QString& name) const;

    // The files of the model's extension (any case), sorted by caption as a list view sorts
    // them (case aside).
    std::vector<Entry> List() const;
    // Whether there is anything to load.
    bool AnyFile() const { return !List().empty(); }

    // Year, month and day of the creation time as the file system keeps it (no conversion
    // to local time); the last write where the file system keeps no creation time.
    static QDate CreationDate(const QFileInfo& file);

  private:
    QString folder_;
    int model_;
};
