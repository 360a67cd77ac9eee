// Shared DLLs: every row of the replacement rule, with test DLLs built with chosen file
// versions, product versions and file dates.
#include <gtest/gtest.h>

#include "actions_support.h"
#include "common/system.h"
#include "setup/journal.h"
#include "test_files.h"

using namespace unit;

namespace {

const std::string kSource = "C:\\zelk-unit\\dll-source";
const std::string kSystem = "C:\\zelk-unit\\dll-system";

// Puts test DLL `file` into folder as ZELKTEST.DLL; returns its path.
std::string Place(const std::string& folder, const std::string& file) {
    std::string path = folder + "\\ZELKTEST.DLL";
    RemoveFile(path);
    EXPECT_TRUE(CopyFileA(TestDataPath(file + ".dll").c_str(), path.c_str(), FALSE)) << file;
    return path;
}

TEST(SharedDll, FollowsTheReplacementRule) {
    struct Case {
        const char* source;
        const char* installed;  // null: none installed yet
        bool replaced;
    } cases[] = {
        {"dll_base", nullptr, true},
        {"dll_noversion", "dll_base", true},
        {"dll_base", "dll_noversion", true},
        {"dll_file_higher", "dll_base", true},
        {"dll_file_lower", "dll_base", false},      // even with a higher product version
        {"dll_product_higher", "dll_base", true},
        {"dll_product_lower", "dll_base", false},
        {"dll_date_later", "dll_base", true},
        {"dll_date_earlier", "dll_base", true},     // a different date replaces either way
        {"dll_same", "dll_base", false},
        {"dll_high_bit", "dll_base", true},         // versions compare unsigned
        {"dll_base", "dll_high_bit", false},
    };
    FreshFolder(kSource);
    FreshFolder(kSystem);
    for (const Case& c : cases) {
        std::string what = std::string(c.source) + " over " + (c.installed ? c.installed : "nothing");
        std::string source = Place(kSource, c.source);
        std::string dest = kSystem + "\\ZELKTEST.DLL";
        RemoveFile(dest);
        if (c.installed) Place(kSystem, c.installed);
        std::string before = ReadAll(dest);
        // Files on a CD-ROM are read-only; an installed copy must not stay so.
        SetFileAttributesA(source.c_str(), FILE_ATTRIBUTE_READONLY);

        EXPECT_EQ(1, InstallDll(source.c_str(), dest.c_str())) << what;
        EXPECT_EQ(c.replaced ? ReadAll(source) : before, ReadAll(dest)) << what;
        if (c.replaced) {
            EXPECT_EQ(0u, GetFileAttributesA(dest.c_str()) & FILE_ATTRIBUTE_READONLY) << what;
        }
    }
}

// A compressed DLL on the medium is compared by the version of its expanded form.
TEST(SharedDll, ACompressedDllIsComparedByItsExpandedVersion) {
    FreshFolder(kSource);
    FreshFolder(kSystem);
    for (bool newer : {false, true}) {
        const char* name = newer ? "dll_file_higher" : "dll_file_lower";
        std::string source = kSource + "\\ZELKTEST.DL_";
        ASSERT_TRUE(CopyFileA(TestDataPath(std::string(name) + ".dl_").c_str(), source.c_str(), FALSE));
        std::string dest = kSystem + "\\ZELKTEST.DLL";
        Place(kSystem, "dll_base");
        EXPECT_EQ(1, InstallDll(source.c_str(), dest.c_str())) << name;
        std::string expected = ReadAll(newer ? TestDataPath("dll_file_higher.dll") : TestDataPath("dll_base.dll"));
        EXPECT_EQ(expected, ReadAll(dest)) << name;
    }
}

// The file named "~ZK*.RPL" in folder, or "".
std::string StagedFile(const std::string& folder) {
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((folder + "\\~ZK*.RPL").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return "";
    FindClose(search);
    return folder + "\\" + data.cFileName;
}

int FilesIn(const std::string& folder) {
    int count = 0;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return 0;
    do count += (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? 0 : 1;
    while (FindNextFileA(search, &data));
    FindClose(search);
    return count;
}

// The strings of the system's list of what to replace at its next start: the move-file
// facility's pairs (Windows NT), or the lines of WININIT.INI's [rename] section.
std::vector<std::string> RestartList() {
    std::vector<char> data(65536);
    DWORD size = 0;
    if (IsWindowsNT()) {
        HKEY key;
        size = static_cast<DWORD>(data.size());
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Session Manager", 0, KEY_READ,
                          &key) != ERROR_SUCCESS) {
            return {};
        }
        if (RegQueryValueExA(key, "PendingFileRenameOperations", nullptr, nullptr,
                             reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS) {
            size = 0;
        }
        RegCloseKey(key);
    } else {
        size = GetPrivateProfileSectionA("rename", data.data(), static_cast<DWORD>(data.size()), "WININIT.INI");
    }
    std::vector<std::string> strings;
    for (DWORD at = 0; at < size; at += static_cast<DWORD>(strings.back().size()) + 1) {
        strings.push_back(data.data() + at);
    }
    return strings;
}

std::string Upper(std::string text) {
    CharUpperBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

// True when the list has the system replace dest by staged.
bool RestartListHolds(const std::string& staged, const std::string& dest) {
    std::vector<std::string> list = RestartList();
    if (!IsWindowsNT()) {
        char shortStaged[MAX_PATH], shortDest[MAX_PATH];
        if (!GetShortPathNameA(staged.c_str(), shortStaged, MAX_PATH) ||
            !GetShortPathNameA(dest.c_str(), shortDest, MAX_PATH)) {
            return false;
        }
        std::string line = Upper(std::string(shortDest) + "=" + shortStaged);
        for (const std::string& s : list) {
            if (Upper(s) == line) return true;
        }
        return false;
    }
    for (size_t i = 0; i + 1 < list.size(); i += 2) {
        if (Upper(list[i]) == Upper("\\??\\" + staged) && Upper(list[i + 1]) == Upper("!\\??\\" + dest)) return true;
    }
    return false;
}

// What the system does when it starts: the staged file takes the destination's place, and
// the list is read and emptied.
void Restart(const std::string& staged, const std::string& dest) {
    MoveFileExA(staged.c_str(), dest.c_str(), MOVEFILE_REPLACE_EXISTING);
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    DeleteFileA((std::string(windows) + "\\WININIT.INI").c_str());
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Session Manager", 0, KEY_SET_VALUE,
                      &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, "PendingFileRenameOperations");
        RegCloseKey(key);
    }
}

// A DLL in use (readable, but neither renamed nor overwritten) is replaced at the next
// restart: the run goes on and offers the restart. Its undo takes the replacement off the
// system's list and leaves the original as it was, or after a restart puts the original
// back; nothing of the run stays beside it. (The list of the test's run serves both rounds.)
TEST(SharedDll, ADllInUseIsReplacedAtTheNextRestart) {
    for (bool restarted : {false, true}) {
        FreshFolder(kSource);
        FreshFolder(kSystem);
        std::string source = Place(kSource, "dll_file_higher");
        std::string dest = Place(kSystem, "dll_base");
        std::string original = ReadAll(dest);
        restartRequired = 0;
        zelktest::HeldFile held(dest, true);
        ASSERT_TRUE(held.Held());
        EXPECT_EQ(1, InstallDll(source.c_str(), dest.c_str())) << restarted;
        EXPECT_EQ(1, restartRequired);
        std::string staged = StagedFile(kSystem);
        ASSERT_NE("", staged);
        EXPECT_EQ(ReadAll(source), ReadAll(staged));
        EXPECT_TRUE(RestartListHolds(staged, dest));
        if (restarted) {
            held.Release();
            Restart(staged, dest);
            EXPECT_EQ(ReadAll(source), ReadAll(dest));
        }

        RollBackJournal();
        EXPECT_FALSE(RestartListHolds(staged, dest)) << restarted;
        EXPECT_EQ(0, restartRequired);
        EXPECT_EQ("", StagedFile(kSystem)) << restarted;
        held.Release();
        EXPECT_EQ(original, ReadAll(dest)) << restarted;
        EXPECT_EQ(1, FilesIn(kSystem)) << "no staged or kept copy is left; " << restarted;
    }
}

TEST(SharedDll, ReadsTheFixedVersionBlock) {
    FixedFileInfo block = {};
    ASSERT_EQ(1, ReadFixedFileInfo(TestDataPath("dll_product_higher.dll").c_str(), &block));
    EXPECT_EQ(0xFEEF04BDu, block.signature);
    EXPECT_EQ(0x00010000u, block.fileVersionMS);
    EXPECT_EQ(0u, block.fileVersionLS);
    EXPECT_EQ(0x00010000u, block.productVersionMS);
    EXPECT_EQ(1u, block.productVersionLS);
    EXPECT_EQ(1u, block.fileDateMS);
    EXPECT_EQ(0x100u, block.fileDateLS);
    EXPECT_EQ(0, ReadFixedFileInfo(TestDataPath("dll_noversion.dll").c_str(), &block));
    EXPECT_EQ(0, ReadFixedFileInfo("C:\\zelk-unit\\no such file.dll", &block));
}

TEST(SharedDll, AFailedCopyIsAFailure) {
    FreshFolder(kSource);
    std::string source = Place(kSource, "dll_file_higher");
    // The destination's folder does not exist, so the copy cannot be made.
    EXPECT_EQ(0, InstallDll(source.c_str(), "C:\\zelk-unit\\no such folder\\ZELKTEST.DLL"));
}

}  // namespace
