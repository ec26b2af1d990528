#include "editor/text/WorkbenchFile.h"

#include "editor/base/FileIO.h"
#include "editor/text/ZipBlockWriter.h"
#include "editor/text/ZipStoredEntries.h"

#include <nlohmann/json.hpp>
#include <sys/mman.h>
#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <memory>
#include <set>
#include <span>
#include <stdexcept>

namespace kestrim {
namespace {

// The manifest keeps its keys in the order written, so that it reads well in a text editor.
using TJson = nlohmann::ordered_json;

constexpr const char* MimeTypeEntry = "mimetype";
constexpr const char* ManifestEntry = "workbench.json";
// Deeper than any manifest this program writes or a later one needs: a guard against input
// that nests without end.
constexpr int MaxManifestDepth = 32;

[[noreturn]] void Damaged(const std::string& Reason)
{
    throw EWorkbenchFile("ワークベンチファイルが壊れています: " + Reason);
}

[[noreturn]] void NoWorkbench(const std::string& Reason)
{
    throw EWorkbenchFile("ワークベンチファイルではありません: " + Reason);
}

std::string Quoted(const std::string& Name)
{
    return "\"" + Name + "\"";
}

// The system error behind a libzip error, or EIO when there is none.
int SystemError(const zip_error_t& Error)
{
    const int error = zip_error_system_type(&Error) == ZIP_ET_SYS ? zip_error_code_system(&Error) : 0;
    return error != 0 ? error : EIO;
}

// Raises what a libzip error while reading Entry ("" for the archive) means for the user.
[[noreturn]] void RaiseZipError(const std::string& FileName, zip_error_t& Error, const std::string& Entry)
{
    const std::string what = Entry.empty() ? "zip アーカイブ" : Quoted(Entry);
    switch (zip_error_code_zip(&Error)) {
    case ZIP_ER_NOZIP:
        NoWorkbench("zip 形式でないか、ファイルの終わりが欠けています。");
    case ZIP_ER_MULTIDISK:
        NoWorkbench("複数に分割された zip アーカイブです。");
    case ZIP_ER_OPEN:
    case ZIP_ER_READ:
    case ZIP_ER_SEEK:
    case ZIP_ER_TELL:
        RaiseOpenError(FileName, SystemError(Error));
    case ZIP_ER_MEMORY:
        throw std::bad_alloc();
    case ZIP_ER_INCONS:
        Damaged("zip アーカイブの目録と中身が一致しません。");
    case ZIP_ER_CRC:
        Damaged(what + " の内容がチェックサム (CRC) と合いません。");
    case ZIP_ER_EOF:
        Damaged(what + " の途中でファイルが終わっています。");
    case ZIP_ER_ZLIB:
    case ZIP_ER_COMPRESSED_DATA:
        Damaged(what + " の圧縮されたデータが壊れています。");
    case ZIP_ER_COMPNOTSUPP:
        Damaged(what + " はこのバージョンが対応していない方式で圧縮されています。");
    case ZIP_ER_ENCRNOTSUPP:
    case ZIP_ER_NOPASSWD:
    case ZIP_ER_WRONGPASSWD:
        Damaged(what + " は暗号化されています。");
    default:
        Damaged(what + " を読めません (" + zip_error_strerror(&Error) + ")。");
    }
}

// A libzip error made from its code, freed when the scope ends.
class TZipError {
public:
    explicit TZipError(int Code = ZIP_ER_OK) { zip_error_init_with_code(&FError, Code); }
    ~TZipError() { zip_error_fini(&FError); }
    TZipError(const TZipError&) = delete;
    TZipError& operator=(const TZipError&) = delete;
    zip_error_t& Get() { return FError; }

private:
    zip_error_t FError;
};

struct TArchiveDiscard {
    void operator()(zip_t* Archive) const { zip_discard(Archive); }
};
using TArchive = std::unique_ptr<zip_t, TArchiveDiscard>;

struct TEntryClose {
    void operator()(zip_file_t* File) const { zip_fclose(File); }
};
using TEntry = std::unique_ptr<zip_file_t, TEntryClose>;

// Where a value sits in the manifest, for messages: samples[2].data.file.
std::string Member(const std::string& Path, const char* Key)
{
    return Path.empty() ? Key : Path + "." + Key;
}

const TJson& Value(const TJson& Object, const std::string& Path, const char* Key)
{
    const auto found = Object.find(Key);
    if (found == Object.end())
        Damaged("workbench.json に " + Member(Path, Key) + " がありません。");
    return *found;
}

[[noreturn]] void WrongType(const std::string& Path, const char* What)
{
    Damaged("workbench.json の " + Path + " が" + What + "ではありません。");
}

const TJson& Object(const TJson& Parent, const std::string& Path, const char* Key)
{
    const TJson& value = Value(Parent, Path, Key);
    if (!value.is_object())
        WrongType(Member(Path, Key), "オブジェクト");
    return value;
}

const std::string& String(const TJson& Parent, const std::string& Path, const char* Key)
{
    const TJson& value = Value(Parent, Path, Key);
    if (!value.is_string())
        WrongType(Member(Path, Key), "文字列");
    return value.get_ref<const std::string&>();
}

const TJson& Integer(const TJson& Parent, const char* Key)
{
    const TJson& value = Value(Parent, "", Key);
    if (!value.is_number_integer())
        WrongType(Key, "整数");
    return value;
}

TTextEncoding Encoding(const TJson& Parent, const std::string& Path)
{
    const std::string& name = String(Parent, Path, "encoding");
    for (const TTextEncoding encoding : {TTextEncoding::ShiftJis, TTextEncoding::Utf8}) {
        if (name == EncodingName(encoding))
            return encoding;
    }
    Damaged("workbench.json の " + Member(Path, "encoding") + " の文字コード " + Quoted(name) + " は不明です。");
}

// How many line feeds the text holds, which a reader may take to size its list; a file of
// another tool may not say.
std::optional<std::size_t> LineFeeds(const TJson& Parent, const std::string& Path)
{
    const auto found = Parent.find("lineFeeds");
    if (found == Parent.end())
        return std::nullopt;
    if (!found->is_number_unsigned())
        WrongType(Member(Path, "lineFeeds"), "0 以上の整数");
    return found->get<std::size_t>();
}

TJson ParseManifest(const std::string& Bytes)
{
    const TJson::parser_callback_t depthGuard = [](int depth, TJson::parse_event_t, TJson&) {
        if (depth > MaxManifestDepth)
            Damaged("workbench.json の入れ子が深すぎます。");
        return true;
    };
    try {
        return TJson::parse(Bytes, depthGuard);
    } catch (const TJson::parse_error& error) {
        Damaged("workbench.json が正しい JSON ではありません (" + std::to_string(error.byte) + " バイト目)。");
    } catch (const TJson::out_of_range&) {
        Damaged("workbench.json に大きすぎて読めない数があります。");
    }
}

// The extension of the script's entry from the first dot of its name on: "script.pl" gives
// ".pl", "script" nothing.
std::string ExtensionOf(const std::string& EntryName)
{
    const std::size_t nameStart = EntryName.find_last_of('/') + 1;
    const std::size_t dot = EntryName.find('.', nameStart);
    return dot == std::string::npos ? std::string() : EntryName.substr(dot);
}

// Asks the system to back the string's room with large pages: a text of 100 MB then takes a
// few dozen page faults to fill instead of tens of thousands, which would cost more than
// reading it.
void PreferLargePages(std::string& Bytes)
{
    constexpr std::uintptr_t LargePage = 2u << 20;
    const auto begin = (reinterpret_cast<std::uintptr_t>(Bytes.data()) + LargePage - 1) & ~(LargePage - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(Bytes.data()) + Bytes.capacity()) & ~(LargePage - 1);
    if (begin < end)
        ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

// Reads a workbench out of an open archive: the manifest first, then each text it names.
class TWorkbenchReader {
public:
    TWorkbenchReader(const std::string& FileName, const TFileReader& File, zip_t* Archive)
        : FFileName(FileName), FFile(File), FArchive(Archive), FStored(File, Archive)
    {
    }

    TWorkbench Read(bool LeaveCurrentData = false)
    {
        if (zip_name_locate(FArchive, ManifestEntry, 0) < 0)
            NoWorkbench("workbench.json がありません。");
        const TJson manifest = ParseManifest(Entry(ManifestEntry));
        if (!manifest.is_object())
            Damaged("workbench.json が JSON のオブジェクトではありません。");
        const TJson& format = Integer(manifest, "format");
        if (format > WorkbenchFormat)
            throw EWorkbenchFile("このワークベンチは新しい形式 (形式 " + format.dump() +
                                 ") で保存されています。このバージョンの Kestrim が読めるのは形式 " +
                                 std::to_string(WorkbenchFormat) + " までです。");
        if (format < 1)
            Damaged("workbench.json の format " + format.dump() + " は正しくありません。");

        TWorkbench workbench;
        workbench.Language = String(manifest, "", "language");
        const TJson& script = Object(manifest, "", "script");
        workbench.Script = Text(script, "script");
        workbench.ScriptExtension = ExtensionOf(String(script, "script", "file"));
        const TJson& samples = Value(manifest, "", "samples");
        if (!samples.is_array())
            WrongType("samples", "配列");
        if (samples.empty())
            Damaged("サンプルがありません。");
        const TJson& current = Integer(manifest, "current");
        if (!current.is_number_unsigned() || current.get<std::uint64_t>() >= samples.size())
            Damaged("workbench.json の current " + current.dump() + " がサンプルの範囲 (0 から " +
                    std::to_string(samples.size() - 1) + ") にありません。");
        workbench.Current = current.get<std::size_t>();
        for (std::size_t i = 0; i < samples.size(); ++i)
            workbench.Samples.push_back(Sample(samples[i], "samples[" + std::to_string(i) + "]",
                                               LeaveCurrentData && i == workbench.Current));
        return workbench;
    }

    const std::optional<TStoredText>& CurrentData() const { return FCurrentData; }

private:
    TSample Sample(const TJson& Json, const std::string& Path, bool LeaveData)
    {
        if (!Json.is_object())
            WrongType(Path, "オブジェクト");
        TSample sample;
        sample.Name = String(Json, Path, "name");
        if (sample.Name.find_first_of("\r\n") != std::string::npos)
            Damaged("workbench.json の " + Member(Path, "name") + " が改行を含んでいます。");
        sample.Data = Text(Object(Json, Path, "data"), Member(Path, "data"), LeaveData);
        if (Json.contains("expected"))
            sample.Expected = Text(Object(Json, Path, "expected"), Member(Path, "expected"));
        return sample;
    }

    // Left, a stored text is not read but found: CurrentData says where it lies.
    TWorkbenchText Text(const TJson& Json, const std::string& Path, bool Leave = false)
    {
        TWorkbenchText text;
        text.Encoding = Encoding(Json, Path);
        const std::string name = String(Json, Path, "file");
        const std::optional<std::size_t> lineFeeds = LineFeeds(Json, Path);
        const zip_stat_t stat = Locate(name);
        if (const auto offset = Leave ? FStored.DataOffset(stat) : std::nullopt)
            FCurrentData = TStoredText{name, *offset, stat.size, stat.crc, lineFeeds};
        else
            text.Bytes = Entry(name, stat);
        return text;
    }

    // The entry's statistics, each entry taken once: a manifest that names one entry many times
    // cannot make a small file take much memory.
    zip_stat_t Locate(const std::string& Name)
    {
        const zip_int64_t index = zip_name_locate(FArchive, Name.c_str(), 0);
        if (index < 0)
            Damaged(Quoted(Name) + " が zip アーカイブの中にありません。");
        if (!FRead.insert(index).second)
            Damaged(Quoted(Name) + " が二度使われています。");
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(FArchive, index, 0, &stat) != 0)
            RaiseZipError(FFileName, *zip_get_error(FArchive), Name);
        if (stat.comp_method == ZIP_CM_STORE && stat.size != stat.comp_size)
            Damaged(Quoted(Name) + " の大きさが一致しません。");
        return stat;
    }

    std::string Entry(const std::string& Name) { return Entry(Name, Locate(Name)); }

    // The entry's bytes, read once straight into the string. Its declared size is trusted only
    // as far as the file can hold it, so that a forged size allocates nothing.
    std::string Entry(const std::string& Name, const zip_stat_t& Stat)
    {
        if (const auto offset = FStored.DataOffset(Stat))
            return StoredEntry(Name, Stat, *offset);
        TEntry file(zip_fopen_index(FArchive, Stat.index, 0));
        if (!file)
            RaiseZipError(FFileName, *zip_get_error(FArchive), Name);
        std::string bytes;
        bytes.reserve(static_cast<std::size_t>(std::min<zip_uint64_t>(Stat.size, FFile.Size())));
        PreferLargePages(bytes);
        // Read until libzip reports the end: only then has it checked the CRC.
        for (;;) {
            zip_int64_t count;
            if (const std::size_t room = bytes.capacity() - bytes.size(); room > 0) {
                const std::size_t size = bytes.size();
                bytes.resize(bytes.capacity());
                count = zip_fread(file.get(), bytes.data() + size, room);
                bytes.resize(size + static_cast<std::size_t>(std::max<zip_int64_t>(count, 0)));
            } else {
                char block[65536];
                count = zip_fread(file.get(), block, sizeof block);
                if (count > 0)
                    bytes.append(block, static_cast<std::size_t>(count));
            }
            if (count < 0)
                RaiseZipError(FFileName, *zip_file_get_error(file.get()), Name);
            if (count == 0)
                return bytes;
        }
    }

    // A stored entry whose place in the file is known, read from there, its CRC checked as
    // libzip would.
    std::string StoredEntry(const std::string& Name, const zip_stat_t& Stat, std::uint64_t Offset)
    {
        std::string bytes;
        bytes.reserve(static_cast<std::size_t>(Stat.size));
        PreferLargePages(bytes);
        bytes.resize(bytes.capacity());
        const TCrcRead read = ReadWithCrc(FFile, Offset, std::span(bytes.data(), static_cast<std::size_t>(Stat.size)));
        if (read.Count != Stat.size)
            RaiseZipError(FFileName, TZipError(ZIP_ER_EOF).Get(), Name);
        if (read.Crc != Stat.crc)
            RaiseZipError(FFileName, TZipError(ZIP_ER_CRC).Get(), Name);
        bytes.resize(read.Count);
        return bytes;
    }

    const std::string& FFileName;
    const TFileReader& FFile;
    zip_t* FArchive;
    TZipStoredEntries FStored;
    std::set<zip_int64_t> FRead;
    std::optional<TStoredText> FCurrentData;
};

// The entry name of each sample's folder: its position from 1, three digits or more, so that
// the names sort in order and never depend on what the user called the sample.
std::string SampleFolder(std::size_t Index, std::size_t Count)
{
    const std::string number = std::to_string(Index + 1);
    const std::size_t width = std::max<std::size_t>(3, std::to_string(Count).size());
    return "samples/" + std::string(width - number.size(), '0') + number + "/";
}

TJson TextReference(const std::string& EntryName, const TWorkbenchText& Text)
{
    return TJson{{"file", EntryName},
                 {"encoding", std::string(EncodingName(Text.Encoding))},
                 {"lineFeeds", CountLineFeeds(Text.Bytes)}};
}

void CheckWritable(const TWorkbench& Workbench)
{
    if (Workbench.Samples.empty() || Workbench.Current >= Workbench.Samples.size())
        throw std::invalid_argument("a workbench has a current sample");
    for (const TSample& sample : Workbench.Samples) {
        if (sample.Name.find_first_of("\r\n") != std::string::npos)
            throw std::invalid_argument("a sample's name is one line");
    }
}

// Writes the archive into the existing file FileName; returns 0 or the system error that stopped
// it.
class TWorkbenchWriter {
public:
    explicit TWorkbenchWriter(const TWorkbench& Workbench) : FWorkbench(Workbench) {}

    int Write(const std::string& FileName)
    {
        TZipError error;
        FArchive.reset(CreateZipInBlocks(FileName, error.Get()));
        if (!FArchive)
            return SystemError(error.Get());
        // The manifest's text lives until the archive is written: the entries refer to it.
        const std::string scriptName = "script" + FWorkbench.ScriptExtension;
        TJson manifest{{"format", WorkbenchFormat},
                       {"program", "Kestrim"},
                       {"language", FWorkbench.Language},
                       {"script", TextReference(scriptName, FWorkbench.Script)},
                       {"current", FWorkbench.Current},
                       {"samples", TJson::array()}};
        std::vector<std::pair<std::string, const TWorkbenchText*>> texts{{scriptName, &FWorkbench.Script}};
        const std::size_t count = FWorkbench.Samples.size();
        for (std::size_t i = 0; i < count; ++i) {
            const TSample& sample = FWorkbench.Samples[i];
            const std::string folder = SampleFolder(i, count);
            TJson entry{{"name", sample.Name}, {"data", TextReference(folder + "data.txt", sample.Data)}};
            texts.emplace_back(folder + "data.txt", &sample.Data);
            if (sample.Expected) {
                entry["expected"] = TextReference(folder + "expected.txt", *sample.Expected);
                texts.emplace_back(folder + "expected.txt", &*sample.Expected);
            }
            manifest["samples"].push_back(std::move(entry));
        }
        const std::string manifestText = manifest.dump(2, ' ', false, TJson::error_handler_t::replace) + "\n";
        // "mimetype" comes first and stored, so that its content sits at a fixed place near the
        // file's start, where file-type tools look.
        bool added = Add(MimeTypeEntry, WorkbenchMimeType) && Add(ManifestEntry, manifestText);
        for (const auto& [name, text] : texts)
            added = added && Add(name, text->Bytes);
        if (!added || zip_close(FArchive.get()) != 0)
            return SystemError(*zip_get_error(FArchive.get()));
        FArchive.release(); // closed
        return 0;
    }

private:
    // Adds an entry that reads Bytes in place, stored as they are.
    bool Add(const std::string& Name, std::string_view Bytes)
    {
        zip_source_t* source = zip_source_buffer(FArchive.get(), Bytes.data(), Bytes.size(), 0);
        if (!source)
            return false;
        const zip_int64_t index = zip_file_add(FArchive.get(), Name.c_str(), source, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(source);
            return false;
        }
        return zip_set_file_compression(FArchive.get(), static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0) == 0;
    }

    const TWorkbench& FWorkbench;
    TArchive FArchive;
};

} // namespace

namespace {

TWorkbenchLeavingData ReadWorkbench(const std::string& FileName, bool LeaveCurrentData)
{
    // Opening the file first makes a missing or forbidden one an EFOpenError naming it, gives the
    // size that bounds what the archive may claim, and reads the stored texts.
    const TFileReader file(FileName);
    int error = 0;
    const TArchive archive(zip_open(FileName.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &error));
    if (!archive)
        RaiseZipError(FileName, TZipError(error).Get(), "");
    TWorkbenchReader reader(FileName, file, archive.get());
    TWorkbenchLeavingData read{reader.Read(LeaveCurrentData), std::nullopt};
    read.CurrentData = reader.CurrentData();
    return read;
}

} // namespace

TWorkbench ReadWorkbenchFile(const std::string& FileName)
{
    return ReadWorkbench(FileName, false).Workbench;
}

TWorkbenchLeavingData ReadWorkbenchLeavingCurrentData(const std::string& FileName)
{
    return ReadWorkbench(FileName, true);
}

std::optional<TTextRows> ReadStoredTextRows(const std::string& FileName, const TStoredText& Place,
                                            const TTextReadOptions& Options)
{
    const TFileReader file(FileName);
    TFileRegion region(file, Place.Offset, Place.Size);
    // The CRC is summed over the blocks the rows' first pass reads anyway, on the same thread.
    TCrcSource checked(region);
    // Knowing the rows ahead, the reader needs a single pass over the bytes.
    TTextReadOptions options = Options;
    if (Place.LineFeeds)
        options.ExpectedRows = *Place.LineFeeds + 1;
    std::optional<TTextRows> text = ReadTextRows(checked, options);
    if (!text) // given up
        return text;
    const TCrcRead& read = checked.FirstPass();
    if (read.Count != Place.Size)
        RaiseZipError(FileName, TZipError(ZIP_ER_EOF).Get(), Place.Entry);
    if (read.Crc != Place.Crc)
        RaiseZipError(FileName, TZipError(ZIP_ER_CRC).Get(), Place.Entry);
    return text;
}

void WriteWorkbenchFile(const std::string& FileName, const TWorkbench& Workbench)
{
    CheckWritable(Workbench);
    TWorkbenchWriter writer(Workbench);
    ReplaceFile(FileName, [&](const std::string& temporaryName) { return writer.Write(temporaryName); });
}

} // namespace kestrim
