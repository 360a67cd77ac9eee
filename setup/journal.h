// The journal of one setup run: in memory and in the order it happened, everything the run
// created or replaced, so that a cancel or a failure undoes exactly that and nothing else.
//
// A file that would be overwritten is kept aside first, renamed beside itself to
// "~ZKnnnnn.BAK" (copied there when it cannot be renamed). The kept originals are listed
// on disk, each before it is moved, in the Windows folder's "~ZKhhhhhhhh.JNL" (hhhhhhhh from
// the product's uninstall key name): a run that is ended half-way leaves them for the next
// run of the same product, which puts them back before it starts. Success and rollback
// remove both the kept originals and the list.
#ifndef ZELK_SETUP_JOURNAL_H
#define ZELK_SETUP_JOURNAL_H

#include <windows.h>

#include "context.h"

// Starts an empty journal for this run of the product.
void BeginJournal(const SetupContext& context);

// Copies source to destination (CopyInstallFile's rules) as this run's file. When the
// destination exists, the original is kept aside first; a read-only destination, or one that
// cannot be kept, is a failure. 1 on success, 0 on failure.
int CopyJournaledFile(const char* source, const char* destination);

// Before path is written afresh by other means (the record, a shortcut, a font resource
// file): notes it as this run's, keeping an existing file aside first. False when it cannot
// be kept (read-only unless readOnlyToo, in no state to be moved or copied, or the journal
// is full). A file copied aside still lies at path.
bool PrepareToWrite(const char* path, bool readOnlyToo = false);

// What else the run did, noted right before it is done. False when the journal is full:
// the step is then a failure, since it could not be undone.
bool NoteCreatedFolder(const char* path);          // a start-menu group folder
bool NoteFontResourceAdded(const char* name);      // path or bare name given to AddFontResource
bool NoteFontResourceRemoved(const char* name);    // a resource taken out of use to be replaced
bool NoteFontsValue(const char* valueName);        // the Fonts key value about to be set
bool NoteProgmanGroup(const char* group);          // a Program Manager group created
bool NoteProgmanItem(const char* group, const char* item);
bool NoteRegistryKey(HKEY root, const char* key);  // a key created (not one that existed)

// The journal backwards: created things go, replaced ones come back; then the folder levels
// the wizard made. Nothing of the journal is left afterwards.
void RollBackJournal();
// The run succeeded: the kept originals and their list go.
void CommitJournal();

// Puts back the originals that an interrupted earlier run of this product kept aside, and
// clears their list. True when there was such a run (the caller tells the user).
bool RestoreInterruptedRun(const SetupContext& context);

#endif
