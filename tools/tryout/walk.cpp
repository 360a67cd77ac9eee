// The walk: installs from the medium through the wizard as a user would, lists what the
// installation put on the machine, removes it through the registered uninstall command as
// the system would, and waits for the uninstaller's companion.
#include "walk_steps.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include "media.h"
#include "tests/tools/progman_standin.h"

namespace tryout {

using e2e::Utf8;

namespace {

// ---- what was installed ----

std::string ShortcutTarget(const std::string& link) {
    IShellLinkA* shell = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&shell)))) {
        return "?";
    }
    std::string target = "?";
    IPersistFile* file = nullptr;
    if (SUCCEEDED(shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        wchar_t wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide, MAX_PATH);
        char path[MAX_PATH] = "";
        char folder[MAX_PATH] = "";
        if (SUCCEEDED(file->Load(wide, STGM_READ)) && SUCCEEDED(shell->GetPath(path, MAX_PATH, nullptr, 0))) {
            shell->GetWorkingDirectory(folder, MAX_PATH);
            target = std::string(path) + "   (working folder " + folder + ")";
        }
        file->Release();
    }
    shell->Release();
    return target;
}

bool Under(const std::string& name, const std::string& folder) {
    return StartsWithNoCase(name, folder + "\\");
}

// What the installation changed, in groups a publisher recognises.
void ListInstalled(const std::vector<Difference>& changes, const std::string& destination) {
    std::vector<std::string> folders, files, shortcuts, registry, shared, elsewhere;
    std::string lastKey;
    for (const Difference& change : changes) {
        const std::string line = std::string(1, change.kind) + " " + change.name;
        const std::string& content = change.kind == '-' ? change.before : change.after;
        if (IsRegistryName(change.name)) {
            // A value goes under its key when that key is listed just before it.
            size_t colon = change.name.find(" : ");
            if (colon == std::string::npos) {
                registry.push_back(line);
                lastKey = change.name;
            } else if (change.name.compare(0, colon, lastKey) == 0 && colon == lastKey.size()) {
                registry.push_back("    " + change.name.substr(colon + 3) + " = " + content);
            } else {
                registry.push_back(line + " = " + content);
            }
        } else if (Under(change.name, destination)) {
            files.push_back(change.name.substr(destination.size() + 1) + "   " + content);
        } else if (content == "<folder>" && change.kind == '+' &&
                   (EqualNoCase(change.name, destination) || Under(destination, change.name))) {
            folders.push_back(change.name);
        } else if (Under(change.name, ProgramsFolder())) {
            std::string shown = line.substr(0, 2) + change.name.substr(ProgramsFolder().size() + 1);
            if (StartsWithNoCase(content, "<")) {
                shortcuts.push_back(shown + "   " + content);
            } else {
                shortcuts.push_back(shown + "  ->  " + ShortcutTarget(change.name));
            }
        } else if (Under(change.name, WindowsFolder())) {
            shared.push_back(line + "   " + content);
        } else {
            elsewhere.push_back(line + "   " + content);
        }
    }
    auto group = [](const std::string& title, const std::vector<std::string>& lines) {
        Say("  " + title + (lines.empty() ? " (none)" : ""));
        for (const std::string& line : lines) Say("      " + line);
    };
    Heading("What was installed");
    group("folders created:", folders);
    group("files in " + destination + ":", files);
    if (UsesProgmanStandin()) {
        std::vector<std::string> items;
        for (const ProgmanGroup& g : ReplayProgman(ReadProgmanRecord(StatePath("progman.rec")))) {
            items.push_back("group " + g.name);
            for (const std::string& item : g.items) items.push_back("    " + item);
        }
        group("Program Manager:", items);
    } else {
        // The desktop's own Program Manager keeps its groups as Start-menu folders too.
        group("start menu, under " + ProgramsFolder() + ":", shortcuts);
    }
    group("registry:", registry);
    group("fonts and DLLs in the Windows folder:", shared);
    group("elsewhere on drive C:", elsewhere);
}

}  // namespace

void Walk() {
    Say("ZELK try-out of " + g_options.medium + (MediumIsOnCdrom() ? " (a CD-ROM drive)" : "") + " as " +
        (IsNT() ? "Windows NT" : "Windows 95"));
    ASSERT_TRUE(e2e::PathExists(MediumPath("setup.exe"))) << "no setup.exe on " << Utf8(g_options.medium);
    CoInitialize(nullptr);
    ProgmanStandin programManager;
    if (UsesProgmanStandin()) {
        // The stand-in plays Program Manager and records its commands byte for byte.
        ASSERT_TRUE(programManager.Start(g_options.progman, StatePath("progman.rec")))
            << "the Program Manager stand-in did not start: " << g_options.progman;
    } else if (IsNT()) {
        ASSERT_TRUE(WaitForProgramManager(30000)) << "the desktop's Program Manager service did not start";
    }
    const Snapshot before = TakeSnapshot();
    ASSERT_TRUE(SaveSnapshot(before, StatePath("before.snap")));
    WriteLines("expected.txt", {});

    // An installation that did not finish is still compared after the restart: what its
    // rollback left shows there.
    const std::string destination = Install();
    if (destination.empty()) return;
    const std::vector<Difference> changes = Compare(before, TakeSnapshot());
    const size_t installCommands = ReadProgmanRecord(StatePath("progman.rec")).size();
    ListInstalled(changes, destination);

    const std::string entry = NewUninstallEntry(changes);
    ASSERT_FALSE(entry.empty()) << "the installation registered no uninstall entry";
    const std::string command = RegistryText(entry, "UninstallString");
    ASSERT_NE(std::string::npos, command.find('*')) << "the uninstall command names no record: " << Utf8(command);
    std::string recordPath = command.substr(command.find('*'));
    recordPath.erase(0, recordPath.find_first_not_of("* \t"));
    RecordFacts record = ShowRecord(recordPath);
    NoteMissingMenuItems(record);

    std::vector<std::string> expected;
    NoteSharedDlls(record, expected);
    Remove(command, record, expected);
    ListProgmanAfterRemoval(installCommands);
    WriteLines("expected.txt", expected);
    CoUninitialize();
}

}  // namespace tryout
