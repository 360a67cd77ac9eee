// Writing the uninstall record into the destination folder.
#include "ids.h"
#include "journal.h"
#include "record_writer.h"
#include "setup.h"
#include "common/wintext.h"

// Creates the record afresh (other processes may read and write it meanwhile), writes its
// lines and makes it read-only. A record that cannot be written whole is deleted again, so
// that the rollback leaves no half record behind; either way message 18 and -1.
int WriteUninstallRecord(SetupContext& context) {
    char path[kPathSize];
    bool written = false;
    if (JoinPath(path, context.destination, context.unZelkName)) {
        ByteFile file;
        // An existing file of the record's name is kept aside, so that a rollback puts it back.
        if (PrepareToWrite(path) && file.CreateForWriting(path)) {
            bool lines = WriteRecordLines(context, file);
            bool closed = file.Close();
            written = lines && closed;
            if (!written) win::DeleteFile(path);
        }
    }
    if (!written) {
        ShowMessage(GetSetupWindow(), IDS_RECORD_FAILED);
        return -1;
    }
    win::SetFileAttributes(path, FILE_ATTRIBUTE_READONLY);
    return 0;
}
