// The journal of one setup run, written ahead: every action is listed on disk, and the list
// flushed, before the action is carried out, in a form from which it can be undone without
// this run's memory. A cancel or a failure undoes the list backwards: what the run created
// goes, what it replaced comes back, nothing else is touched. A run that is ended from
// outside (killed, a crash, the power) leaves the list, and the next run of the same product
// undoes it before anything else.
//
// The list is the Windows folder's "~ZKhhhhhhhh.JNL" (hhhhhhhh from the product's uninstall
// key name), in the format of journal_list.h, made and rewritten whole under ".NEW". A file
// about to be overwritten is kept aside first, renamed beside itself to a name of the list and
// the run, "~ZKhhhhhhhh-rrrr-nnnnn.BAK" (copied there through ".TMP" when it cannot be
// renamed). A shared DLL or font in use waits under ".RPL" beside it for the system's next
// start to replace it. Success marks the list finished and removes it and the kept originals
// (at the next start, one that is in use). The undo of every entry is safe to do again, so
// an undo that is ended is done again by the next run.
#ifndef ZELK_SETUP_JOURNAL_H
#define ZELK_SETUP_JOURNAL_H

#include <windows.h>

#include "context.h"

// Starts an empty journal for this run of the product; the list is made with its first
// entry.
void BeginJournal(const SetupContext& context);

// Lists in one write, as this run's new files, the files of the file list and the record
// that do not exist yet: their copies then need no writing of their own. Without it (or
// when the write fails) each file is listed as it comes.
void ListNewFiles(const SetupContext& context);

// Copies source to destination (CopyInstallFile's rules) as this run's file. When the
// destination exists, the original is kept aside first; a read-only destination, or one that
// cannot be kept, is a failure. With atRestart, a destination in use (neither renamed nor
// overwritten, but copied aside) is replaced when the system next starts, and
// restartRequired is set. 1 on success, 0 on failure.
int CopyJournaledFile(const char* source, const char* destination, bool atRestart = false);

// Before path is written afresh by other means (the record, a shortcut, a font resource
// file): lists it as this run's, keeping an existing file aside first. False when it cannot
// be kept (read-only unless readOnlyToo, in no state to be moved or copied) or listed. A file
// copied aside still lies at path.
bool PrepareToWrite(const char* path, bool readOnlyToo = false);

// What else the run does: each is listed, and the list flushed, before it is carried out;
// what cannot be listed is not done, and the step fails, since it could not be undone.
// Makes the folder path with each of its levels that does not exist: the number made, or -1.
int CreateJournaledFolders(const char* path);
// Adds a font resource: a path, or a bare name that the system finds. A resource file names
// its font by the bare name, which some systems look for in the current folder only: with
// folder, that is the current folder for the call. False when it is not added.
bool AddJournaledFontResource(const char* name, const char* folder = nullptr);
// Takes a resource out of use, to be replaced.
bool RemoveJournaledFontResource(const char* name);
// Makes the Program Manager group, unless it is there already (a group that was there
// stays in a rollback: only the run's items leave it), and makes it the active one.
bool CreateJournaledProgmanGroup(const char* group);
// Adds the item to the active group, the run's. An item of that name that the group holds
// already is the user's: it stays the one, and no second is added, which no rollback
// could tell from the user's.
bool AddJournaledProgmanItem(const char* group, const char* commandLine, const char* item);
// Opens the key for all access, made with every level above it that does not exist; null
// when it cannot be listed or made.
HKEY CreateJournaledKey(HKEY root, const char* key);

// Sets a registry value, having listed what it held before (a value in a key this run
// created goes with the key). False when it cannot be listed or set.
bool SetJournaledValue(HKEY root, const char* key, const char* name, DWORD type, const void* data, DWORD size);

// The list backwards, as the next run would undo it; then the list goes. What cannot be
// undone (a file held open) stays listed for the next run.
void RollBackJournal();
// The run succeeded: the list is marked finished, then it and the kept originals go.
void CommitJournal();

// Undoes the list of an earlier run of this product that was ended before it finished, from
// the list alone. Partly: something could not be undone; it stays listed, and leftovers
// (size bytes) names each such path on a line of its own.
enum class Recovery { None, Undone, Partly };
Recovery RestoreInterruptedRun(const SetupContext& context, char* leftovers, size_t size);

// Where the journal's work stands, for a test build that ends the run there: right before
// each listed action (Action), when every action is done (Complete), right before each
// entry's undo and before the undone list goes (Undo), before the finish mark, each kept
// original's deletion and the finished list's (Commit).
enum class JournalStep { Action, Complete, Undo, Commit };
using JournalWatch = void (*)(JournalStep step);
extern JournalWatch g_journalWatch;  // null in setup.exe

#endif
