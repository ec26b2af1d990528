// Feeds arbitrary bytes to ReadWorkbenchFile, which must read them or raise EWorkbenchFile, and
// never crash or allocate what the file cannot hold. Half the inputs are taken as a manifest
// zipped beside a few entries it may name, so that the runs reach the manifest's checks without
// having to find the zip structure first. A workbench that reads is written and read back,
// which must give it again.

#include "editor/text/WorkbenchFile.h"

#include "FuzzCheck.h"

#include <fuzzer/FuzzedDataProvider.h>
#include <sys/mman.h>
#include <unistd.h>
#include <zip.h>

#include <cstdint>
#include <filesystem>
#include <string>

using namespace kestrim;

namespace {

// A file that lives in memory, named through the process's descriptors.
class TMemoryFile {
public:
    TMemoryFile() : FFd(::memfd_create("workbench", 0)) { Check(FFd >= 0, "memfd_create"); }
    ~TMemoryFile() { ::close(FFd); }
    std::string Name() const { return "/proc/self/fd/" + std::to_string(FFd); }
    void Put(const std::string& Bytes)
    {
        Check(::ftruncate(FFd, 0) == 0 && ::pwrite(FFd, Bytes.data(), Bytes.size(), 0) == static_cast<ssize_t>(Bytes.size()),
              "writing the memory file");
    }

private:
    int FFd;
};

std::string Zipped(const std::string& Manifest, zip_int32_t Method)
{
    zip_source_t* output = zip_source_buffer_create(nullptr, 0, 0, nullptr);
    zip_source_keep(output);
    zip_t* archive = zip_open_from_source(output, ZIP_TRUNCATE, nullptr);
    Check(archive != nullptr, "zip_open_from_source");
    const std::pair<const char*, std::string> entries[] = {
        {"workbench.json", Manifest}, {"script.pl", "print;"}, {"d.txt", "a\r\nb"}, {"e.txt", ""}};
    for (const auto& [name, bytes] : entries) {
        const zip_int64_t index =
            zip_file_add(archive, name, zip_source_buffer(archive, bytes.data(), bytes.size(), 0), 0);
        zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), Method, 0);
    }
    Check(zip_close(archive) == 0, "zip_close");
    zip_stat_t stat;
    zip_source_stat(output, &stat);
    std::string bytes(stat.size, '\0');
    zip_source_open(output);
    zip_source_read(output, bytes.data(), bytes.size());
    zip_source_close(output);
    zip_source_free(output);
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    static TMemoryFile file;
    // Saving replaces a file by renaming a new one beside it: that needs a real folder.
    static const std::string written =
        (std::filesystem::temp_directory_path() / ("kestrim-fuzz-" + std::to_string(::getpid()) + ".kestrim")).string();
    FuzzedDataProvider input(Data, Size);
    const int mode = input.ConsumeIntegralInRange(0, 2);
    const std::string rest = input.ConsumeRemainingBytesAsString();
    file.Put(mode == 0 ? rest : Zipped(rest, mode == 1 ? ZIP_CM_STORE : ZIP_CM_DEFLATE));
    TWorkbench workbench;
    try {
        workbench = ReadWorkbenchFile(file.Name());
    } catch (const EWorkbenchFile&) {
        return 0;
    }
    Check(!workbench.Samples.empty() && workbench.Current < workbench.Samples.size(), "a current sample");
    WriteWorkbenchFile(written, workbench);
    Check(ReadWorkbenchFile(written) == workbench, "written and read back");
    return 0;
}
