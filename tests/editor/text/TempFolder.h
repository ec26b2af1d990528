#pragma once
// A folder of a test's own for the files it reads and writes, removed with the test.

#include "editor/base/FileIO.h"

#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

namespace kestrim::test {

class TTempFolder {
public:
    explicit TTempFolder(const std::string& Prefix)
        : FFolder(std::filesystem::temp_directory_path() / (Prefix + std::to_string(::getpid())))
    {
        std::filesystem::create_directories(FFolder);
    }
    ~TTempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(FFolder, ignored);
    }
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    std::string Folder() const { return FFolder.string(); }
    std::string Path(const std::string& Name) const { return (FFolder / Name).string(); }
    // The file "text.txt" holding Bytes.
    std::string FileWith(const std::string& Bytes) const
    {
        const std::string name = Path("text.txt");
        WriteFileBytes(name, Bytes);
        return name;
    }

private:
    std::filesystem::path FFolder;
};

} // namespace kestrim::test
