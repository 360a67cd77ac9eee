// The on-disk form of setup's journal: what each line of the list says, and how a list is
// read back (portable).
//
// The list is plain text of fixed-size lines, each kJournalLineSize bytes:
//
//   K FFFFFFFF SSSSSSSS LLL text, then blanks up to the CR LF that ends the line
//
// K is a letter that says what the line tells, FFFFFFFF and SSSSSSSS are two numbers in
// hexadecimal, LLL is the length of the text in decimal (at most 259 bytes, no control
// bytes). The first line names the product; every other line belongs to an entry, one
// action of the run. An entry is written whole before its action is carried out, so a list
// whose end was cut off (the power went while it was written) is read up to its last whole
// entry: what follows was never done.
#ifndef ZELK_SETUP_JOURNAL_LIST_H
#define ZELK_SETUP_JOURNAL_LIST_H

#include <stddef.h>
#include <stdint.h>

#include "common/textsub.h"

constexpr size_t kJournalLineSize = 288;
constexpr size_t kJournalMaxText = kPathSize - 1;
constexpr uint32_t kJournalFormat = 3;         // the header's first number
constexpr uint32_t kJournalFirstFormat = 1;    // lists of earlier setups: read, undone by their rules
constexpr uint32_t kJournalSecondFormat = 2;   // lists before pending replacements: read alike.
                                               // Setups of that format cannot undo one, and
                                               // leave a list of this format alone
constexpr uint32_t kJournalNoValue = 0xFFFFFFFFu;  // a registry value that did not exist
constexpr size_t kJournalMaxData = kPathSize;  // earlier data of a registry value, in bytes
constexpr size_t kJournalDataPerLine = 128;    // bytes of it on one line (256 hex digits)
constexpr size_t kJournalMaxEntryLines = 2 + (kJournalMaxData + kJournalDataPerLine - 1) / kJournalDataPerLine;

// What a line tells; the entry's first line carries it.
namespace journal {
constexpr char kHeader = 'Z';           // text: the product's uninstall key name; first: the
                                        // format; second: the run's mark, in its kept names
constexpr char kCreatedFile = 'F';      // text: a file that did not exist
constexpr char kReplacedFile = 'R';     // text: a file kept aside first; first: its kept number
constexpr char kCreatedFolder = 'D';    // text: a folder that did not exist
constexpr char kResourceAdded = 'A';    // text: a font resource added to the system
constexpr char kResourceRemoved = 'X';  // text: a font resource taken out of use
constexpr char kProgmanGroup = 'G';     // text: a Program Manager group that did not exist
constexpr char kProgmanItem = 'I';      // text: the group; next line: the item
constexpr char kRegistryKey = 'K';      // text: a key that did not exist; first: its root
constexpr char kPendingReplacement = 'P'; // text: a file in use, replaced at the next restart
                                        // by the staged copy beside it; first: its kept number,
                                        // which names the staged copy (".RPL") and the kept one
constexpr char kRegistryValue = 'V';    // text: the key; first: its root; second: the earlier
                                        // type; next lines: the value's name, earlier data
constexpr char kFinished = 'E';         // the run finished: nothing is to be undone
constexpr char kUndone = 'U';           // an undo got this far: first: the entries from that
                                        // one on are undone (lines after every entry)
constexpr char kMore = '+';             // a further line of the entry above
}  // namespace journal

// One action as the list holds it.
struct JournalEntry {
    char kind;
    uint32_t number;                       // kept number, or the registry root
    uint32_t type;                         // a value's earlier type, or kJournalNoValue
    char text[kPathSize];                  // path, folder, resource, group or key
    char name[kPathSize];                  // an item's or a value's name
    uint32_t dataSize;
    unsigned char data[kJournalMaxData];   // a value's earlier data
};

// An entry of the given kind for text; false when text does not fit.
bool MakeJournalEntry(JournalEntry* entry, char kind, const char* text);

// The header line for product's run into out; false when the name cannot be listed.
bool FormatJournalHeader(char (&out)[kJournalLineSize], const char* product, uint32_t run = 0);

// The lines of entry into out; their byte count (a multiple of kJournalLineSize), or 0
// when they do not fit out or the entry cannot be listed (a text with a control byte).
size_t FormatJournalEntry(char* out, size_t size, const JournalEntry& entry);

// A list read whole into memory. Nothing is read beyond size, and every line is checked.
class JournalList {
public:
    JournalList(const char* bytes, size_t size) : bytes_(bytes), size_(size) {}

    // The product named by the first line, with the list's format and its run's mark; false
    // when the list does not start with one of a format this setup knows.
    bool ReadHeader(char (&product)[kPathSize], uint32_t* format = nullptr, uint32_t* run = nullptr) const;
    // Offset of the first entry.
    static constexpr size_t FirstEntry() { return kJournalLineSize; }
    // The entry whose first line starts at offset, and the offset after it; false when no
    // whole, well-formed entry starts there (the end of what can be read).
    bool ReadEntry(size_t offset, JournalEntry* entry, size_t* next) const;

private:
    struct Line {
        char kind;
        uint32_t first;
        uint32_t second;
        size_t length;
        const char* text;
    };
    bool ReadLine(size_t offset, Line* line) const;
    bool ReadMore(size_t* offset, Line* line) const;
    const char* bytes_;
    size_t size_;
};

#endif
