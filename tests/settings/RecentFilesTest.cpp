#include "settings/FileKind.h"
#include "settings/RecentFiles.h"
#include "settings/UConfigFile.h"
#include "settings/UKestrimReg.h"

#include "editor/base/CodePage.h"
#include "editor/base/FileIO.h"

#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kestrim;

namespace {

TEST(FileKindTest, AFileOpensAsWhatItsNameSays)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    // "ポ" ends in the byte of "|": the filter's description must not split there.
    const std::string python = (folder.path() + "/Python.ini").toStdString();
    WriteFileBytes(python, Utf8ToSjis("[Environment]\r\nDefaultExt=pyw\r\n"
                                      "DialogExt=ポ(*.py; *.PYI)|*.py; *.PYI|すべて(*.*)|*.*\r\n"));
    const TConfigFile pythonConfig(python);
    const TConfigFile& perl = ConfigOrDefaults(nullptr);
    const struct {
        const TConfigFile& Config;
        const char* Name;
        TFileKind Kind;
    } cases[] = {
        {perl, "/home/a/a.pl", TFileKind::Script},
        {perl, "/home/a/A.PL", TFileKind::Script},
        {perl, "/home/a/b.kestrim", TFileKind::Workbench},
        {perl, "B.Kestrim", TFileKind::Workbench},
        {perl, "/home/a/a.py", TFileKind::Data},
        {perl, "/home/a.pl/data", TFileKind::Data},
        {perl, "/home/a/.pl", TFileKind::Data},
        {perl, "/home/a/pl", TFileKind::Data},
        {pythonConfig, "x.py", TFileKind::Script},
        {pythonConfig, "x.pyi", TFileKind::Script},
        {pythonConfig, "x.pyw", TFileKind::Script}, // the default extension
        {pythonConfig, "x.pl", TFileKind::Data},
        {pythonConfig, "x.txt", TFileKind::Data}, // "*.*" makes no file a script
        {pythonConfig, "x.kestrim", TFileKind::Workbench},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FileKindByName(c.Name, c.Config), c.Kind) << c.Name;
}

TEST(RecentFilesTest, NewestFirstEachPathOnceAtMostTen)
{
    TRecentFiles files;
    for (int i = 0; i < 12; ++i)
        files.Add(TRecentKind::Data, "/f" + std::to_string(i));
    files.Add(TRecentKind::Script, "/f5");
    ASSERT_EQ(files.Items().size(), TRecentFiles::Limit);
    EXPECT_EQ(files.Items()[0], (TRecentFile{TRecentKind::Script, "/f5"}));
    EXPECT_EQ(files.Items()[1].Path, "/f11");
    EXPECT_EQ(files.Items().back().Path, "/f2"); // /f0 and /f1 fell off the end; /f5 moved up
    files.Remove("/f11");
    EXPECT_EQ(files.Items()[1].Path, "/f10");
}

// Any character a path may hold survives the store; a damaged value loses only itself.
TEST(RecentFilesTest, TheListOutlivesTheProgramInTheSettings)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder.path());
    const std::vector<TRecentFile> stored{
        {TRecentKind::Workbench, "/tmp/a b;c=d,e#f\"g'h\\i%41.kestrim"},
        {TRecentKind::Script, "/tmp/日本語/@x\nline\t.pl"},
        {TRecentKind::Data, "/tmp/[Recent]/\xff\xfe raw bytes"},
    };
    {
        TKestrimReg settings("Vek", "Kestrim");
        for (auto file = stored.rbegin(); file != stored.rend(); ++file)
            settings.RecentFiles.Add(file->Kind, file->Path);
        settings.Save();
    }
    TKestrimReg reloaded("Vek", "Kestrim");
    reloaded.Load();
    EXPECT_EQ(reloaded.RecentFiles.Items(), stored);

    reloaded.RecentFiles.Remove(stored[1].Path);
    reloaded.Save();
    QSettings store(QSettings::IniFormat, QSettings::UserScope, "Vek", "Kestrim");
    EXPECT_FALSE(store.contains("Recent/File3")); // no stale entry after a shorter list
    store.setValue("Recent/File1", "folder /tmp/x");
    store.setValue("Recent/File2", "data /tmp/%zz");
    store.setValue("Recent/File3", "data /tmp/kept");
    store.sync();
    reloaded.Load();
    EXPECT_EQ(reloaded.RecentFiles.Items(), (std::vector<TRecentFile>{{TRecentKind::Data, "/tmp/kept"}}));
}

} // namespace
