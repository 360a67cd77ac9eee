// What the writing of setup's journal (journal.cpp) and its undo (journal_undo.cpp) share:
// where a product's list lies, how the kept originals are named, and the undo of a list.
#ifndef ZELK_SETUP_JOURNAL_PLACE_H
#define ZELK_SETUP_JOURNAL_PLACE_H

#include <windows.h>

#include "context.h"
#include "journal.h"
#include "journal_list.h"

namespace journal {

// Entries one run may list: every file of the list twice (a retry after a failed copy of a
// replaced file lists it anew), a shortcut or item for each, the DLLs, the fonts with their
// resources and values, the keys, the values, and room for retries.
constexpr int kCapacity = 4 * kFileSlots + 2 * kMaxDlls + 6 * kMaxFonts + 128;
// A list is read that far at most: a run writes no more.
constexpr DWORD kMaxListBytes = (kCapacity * kJournalMaxEntryLines + 1) * kJournalLineSize;

// Where a product's list lies: "~ZKhhhhhhhh.JNL" in the Windows folder, and beside it
// ".NEW", under which a list is made or rewritten whole before it takes the list's name.
// hhhhhhhh, the list's mark, is drawn from the product's uninstall key name; where another
// product's list holds that name, the next mark is taken.
struct ListPlace {
    char list[kPathSize];
    char fresh[kPathSize];
    uint32_t mark;
};
constexpr uint32_t kListMarks = 8;  // marks tried for one product

// How the kept originals of one list are named: for its product's list and its run.
// Lists of the first format numbered them alone ("~ZKnnnnn.BAK").
struct KeptNames {
    uint32_t format;
    uint32_t mark;
    uint32_t run;
};

// Tells the test build's watch where the journal's work stands.
void Watch(JournalStep step = JournalStep::Action);
bool IsFree(const char* path);
bool WriteAll(HANDLE file, const void* data, DWORD size);
// Writes bytes whole, and flushed, under the place's fresh name; false (and nothing left
// there) when it cannot.
bool WriteFresh(const ListPlace& place, const char* bytes, DWORD size);
// The product's first list mark, and the place a mark gives.
uint32_t FirstMarkOf(const SetupContext& context);

// A hash of the text with ASCII letters of either case alike, as names are compared.
uint32_t CaseBlindHash(const char* text);
bool PlaceOf(const SetupContext& context, uint32_t mark, ListPlace* place);
// The kept original number beside path under names, or its copy under way (extension).
bool KeptPathOf(const KeptNames& names, const char* path, uint32_t number, const char* extension,
                char (&kept)[kPathSize]);
// The registry's changes on disk before the list that could undo them goes.
void FlushRegistry();

// What is found at a place: nothing (or what this setup cannot read), another product's
// list, or this product's.
enum class Found { Nothing, Other, Ours };
// Undoes the list at place backwards when it is this product's (Found::Ours); a finished
// run's list only has its kept originals deleted. See journal_undo.cpp.
Found UndoList(const ListPlace& place, const char* product, char* leftovers, size_t size, Recovery* result);

}  // namespace journal

#endif
