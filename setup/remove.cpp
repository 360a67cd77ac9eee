// Setup-side removal: an earlier installation through its uninstall record, and the
// rollback of this run through its journal.
#include "setup.h"

#include <shlobj.h>

#include "common/record.h"
#include "common/system.h"
#include "common/uninst.h"
#include "ids.h"
#include "journal.h"
#include "common/wintext.h"

namespace {

char caption[32];

void ShowOutOfMemory(void*) {
    char text[32];
    g_messageBox(GetSetupWindow(), LoadText(IDS_NO_MEMORY, text, sizeof text), caption, MB_OK);
}

}  // namespace

int ReadUninstallRecord(const char* path) {
    // A record is read once per run; start from an empty one all the same.
    FreeUninstallRecord(g_record);
    g_record = UninstallRecord{};
    LoadText(IDS_CAPTION, caption, sizeof caption);
    static constexpr RecordReaderRules rules{kMaxDlls, kMaxFonts, false};
    static constexpr RecordSink sink{nullptr, nullptr, nullptr, ShowOutOfMemory, nullptr};
    return ReadRecordFile(g_record, path, rules, sink);
}

int RemoveInstallationByRecord(SetupContext& context, const char* recordPath) {
    if (ReadUninstallRecord(recordPath) == 0) {
        FreeUninstallRecord(g_record);
        return -1;
    }
    // Should the heading fail to load, the notice still lists the lines.
    char heading[512];
    if (win::LoadString(IDS_FOREIGN_LINES, heading, sizeof heading) == 0) heading[0] = '\0';
    const RemovalStyle style{GetSetupWindow(), caption, FILE_ATTRIBUTE_ARCHIVE, heading};
    RemoveRecordedItems(g_record, style, recordPath, context.systemDir, context.fontsDir);
    RemoveMenuEntries(g_record.menuGroup, g_record.menuItems, g_record.menuItemCount);
    DeleteRecordedAppKeys(g_record);
    // The record and the entry go last: a setup ended before finds the installation still
    // registered, and this removal or unZELK finishes it.
    RemoveUninstallerAndFolders(recordPath);
    DeleteRecordedEntry(g_record);
    FreeUninstallRecord(g_record);
    return 0;
}

// The two programs beside the record and the record, then what unZELK leaves to its
// companion: the folder levels the earlier installation created.
void RemoveUninstallerAndFolders(const char* recordPath) {
    char folder[kPathSize];
    char name[kPathSize];
    if (!SplitPath(folder, name, recordPath)) return;
    if (EndsWithSeparator(folder)) folder[lstrlenA(folder) - 1] = '\0';
    DeleteLastFiles(recordPath);
    RemoveFolderLevels(folder, g_record.dirDepth, true);
}

// The run's own journal, backwards: what it created goes, what it replaced comes back,
// nothing else is touched and nothing is asked.
int RollBackInstallation(SetupContext&) {
    RollBackJournal();
    return 0;
}
