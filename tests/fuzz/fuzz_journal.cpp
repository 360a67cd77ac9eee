// Fuzz target: setup's journal list read back from arbitrary bytes, as the next run reads a
// list that an ended run left (cut off, or damaged).
#include <stdint.h>
#include <string.h>

#include "setup/journal_list.h"

namespace {

void Check(bool condition) {
    if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* bytes = reinterpret_cast<const char*>(data);
    JournalList list(bytes, size);
    char product[kPathSize];
    if (list.ReadHeader(product)) Check(strlen(product) < kPathSize);
    size_t offset = JournalList::FirstEntry();
    JournalEntry entry;
    size_t next = 0;
    while (list.ReadEntry(offset, &entry, &next)) {
        Check(next > offset && next <= size && (next - offset) % kJournalLineSize == 0);
        Check(strlen(entry.text) < kPathSize && strlen(entry.name) < kPathSize);
        Check(entry.dataSize <= kJournalMaxData);
        // Every entry that is read has one form only: written again, it is the same bytes.
        char lines[kJournalMaxEntryLines * kJournalLineSize];
        size_t length = FormatJournalEntry(lines, sizeof lines, entry);
        Check(length == next - offset && memcmp(lines, bytes + offset, length) == 0);
        offset = next;
    }
    return 0;
}
