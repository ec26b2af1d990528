#include "settings/URegistryBase.h"

#include <QSettings>

#include <cassert>
#include <optional>

namespace kestrim {
namespace {

QString KeyOf(const char* Section, const char* Ident)
{
    return QString::fromUtf8(Section) + u'/' + QString::fromUtf8(Ident);
}

} // namespace

// Keeps the store open for the lifetime of one Load or Save, closing it also when the
// descendant's LoadValues or SaveValues fails.
class TRegistryBase::TOpenStore {
public:
    explicit TOpenStore(TRegistryBase& Owner) : FOwner(Owner) { FOwner.FStore = FOwner.OpenStore(); }
    ~TOpenStore() { FOwner.FStore.reset(); }
    TOpenStore(const TOpenStore&) = delete;
    TOpenStore& operator=(const TOpenStore&) = delete;

private:
    TRegistryBase& FOwner;
};

TRegistryBase::TRegistryBase(const std::string& MakerKey, const std::string& ProductKey)
    : FMakerKey(QString::fromStdString(MakerKey))
    , FProductKey(QString::fromStdString(ProductKey))
{
}

TRegistryBase::~TRegistryBase() = default;

void TRegistryBase::Load()
{
    const TOpenStore open(*this);
    LoadValues();
}

void TRegistryBase::Save()
{
    const QString fileName = FileName();
    QSettings::Status status = QSettings::NoError;
    {
        const TOpenStore open(*this);
        SaveValues();
        FStore->sync();
        status = FStore->status();
    }
    // A FormatError only says that the old file was not an INI file; it has been replaced.
    if (status == QSettings::AccessError)
        throw ERegistryError("設定を保存できません。ファイル \"" + fileName.toStdString() + "\" に書き込めません。");
}

QString TRegistryBase::FileName() const
{
    return OpenStore()->fileName();
}

std::unique_ptr<QSettings> TRegistryBase::OpenStore() const
{
    auto store = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, FMakerKey, FProductKey);
    // Only the user's own file counts: a system-wide file must not supply missing values.
    store->setFallbacksEnabled(false);
    return store;
}

QSettings& TRegistryBase::Store() const
{
    assert(FStore && "settings are read and written only inside LoadValues and SaveValues");
    return *FStore;
}

std::optional<QString> TRegistryBase::StoredText(const char* Section, const char* Ident) const
{
    const QString key = KeyOf(Section, Ident);
    if (!Store().contains(key))
        return std::nullopt;
    const QVariant value = Store().value(key);
    if (value.typeId() != QMetaType::QString)
        throw ERegistryError("設定ファイル \"" + Store().fileName().toStdString() + "\" の値 " + Section + "\\" + Ident
                             + " は文字列ではありません。");
    return value.toString();
}

std::string TRegistryBase::ReadString(const char* Section, const char* Ident, const std::string& Default)
{
    const std::optional<QString> text = StoredText(Section, Ident);
    return text ? text->toStdString() : Default;
}

int TRegistryBase::ReadInteger(const char* Section, const char* Ident, int Default)
{
    const std::optional<QString> text = StoredText(Section, Ident);
    if (!text)
        return Default;
    bool converted = false;
    const int value = text->toInt(&converted, 10);
    return converted ? value : Default;
}

bool TRegistryBase::ReadBool(const char* Section, const char* Ident, bool Default)
{
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TRegistryBase::WriteString(const char* Section, const char* Ident, const std::string& Value)
{
    Store().setValue(KeyOf(Section, Ident), QString::fromStdString(Value));
}

void TRegistryBase::WriteInteger(const char* Section, const char* Ident, int Value)
{
    Store().setValue(KeyOf(Section, Ident), QString::number(Value));
}

void TRegistryBase::WriteBool(const char* Section, const char* Ident, bool Value)
{
    Store().setValue(KeyOf(Section, Ident), QString::number(Value ? 1 : 0));
}

void TRegistryBase::EraseSection(const char* Section)
{
    Store().remove(QString::fromUtf8(Section));
}

} // namespace kestrim
