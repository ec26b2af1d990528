#pragma once
// TRegistryBase: typed reads and writes of one product's per-user settings, with defaults.
//
// The store is a QSettings INI file of the user (organisation = maker key, application =
// product key); a section is a group, an identifier a key inside it, and every value is kept as
// text. The store is open only while Load or Save runs; between them the descendant's fields
// are the only state. Tests redirect the store with QSettings::setPath(QSettings::IniFormat,
// QSettings::UserScope, folder) before Load or Save.

#include "editor/base/Exceptions.h"

#include <QString>

#include <memory>
#include <optional>
#include <string>

class QSettings;

namespace kestrim {

// A settings value that cannot be read as text, or a store that cannot be written.
class ERegistryError : public Exception {
public:
    using Exception::Exception;
};

class TRegistryBase {
public:
    TRegistryBase(const std::string& MakerKey, const std::string& ProductKey);
    virtual ~TRegistryBase();
    TRegistryBase(const TRegistryBase&) = delete;
    TRegistryBase& operator=(const TRegistryBase&) = delete;

    // Opens the store, runs LoadValues, closes it. A missing or unreadable store, or one that is
    // not an INI file, reads as empty: every value takes its default. A value that is not plain
    // text raises ERegistryError naming it; the values read before it keep what was read.
    void Load();
    // Opens the store, runs SaveValues, writes the file, closes it. Raises ERegistryError naming
    // the file when it cannot be written; the store is closed first.
    void Save();

    // The file behind the store.
    QString FileName() const;

protected:
    virtual void LoadValues() = 0;
    virtual void SaveValues() = 0;

    // Meaningful only inside LoadValues and SaveValues. Texts are UTF-8. A missing value gives
    // Default; an integer or boolean whose text is not a decimal number gives Default too.
    std::string ReadString(const char* Section, const char* Ident, const std::string& Default);
    int ReadInteger(const char* Section, const char* Ident, int Default);
    bool ReadBool(const char* Section, const char* Ident, bool Default);
    void WriteString(const char* Section, const char* Ident, const std::string& Value);
    void WriteInteger(const char* Section, const char* Ident, int Value);
    void WriteBool(const char* Section, const char* Ident, bool Value);
    // Removes every value of Section, so that a shorter list written after it leaves no stale
    // values behind.
    void EraseSection(const char* Section);

private:
    class TOpenStore;

    std::unique_ptr<QSettings> OpenStore() const;
    QSettings& Store() const;
    // The value's text, or nothing when it is missing; ERegistryError when it is not text.
    std::optional<QString> StoredText(const char* Section, const char* Ident) const;

    QString FMakerKey;
    QString FProductKey;
    std::unique_ptr<QSettings> FStore; // present only while Load or Save runs
};

} // namespace kestrim
