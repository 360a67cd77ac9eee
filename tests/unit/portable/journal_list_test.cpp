// The journal's list: every kind of entry written and read back, a list cut off anywhere,
// and the lines the reader refuses.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "setup/journal_list.h"

namespace {

JournalEntry Entry(char kind, const std::string& text, uint32_t number = 0, const std::string& name = "",
                   const std::string& data = "", uint32_t type = 0) {
    JournalEntry entry;
    EXPECT_TRUE(MakeJournalEntry(&entry, kind, text.c_str()));
    entry.number = number;
    entry.type = type;
    strcpy(entry.name, name.c_str());
    entry.dataSize = static_cast<uint32_t>(data.size());
    memcpy(entry.data, data.data(), data.size());
    return entry;
}

std::string Lines(const JournalEntry& entry) {
    char out[kJournalMaxEntryLines * kJournalLineSize];
    return std::string(out, FormatJournalEntry(out, sizeof out, entry));
}

std::string Header(const char* product) {
    char line[kJournalLineSize];
    EXPECT_TRUE(FormatJournalHeader(line, product));
    return std::string(line, sizeof line);
}

// The entries a list gives back, in one line each.
std::vector<std::string> ReadBack(const std::string& bytes) {
    JournalList list(bytes.data(), bytes.size());
    std::vector<std::string> read;
    JournalEntry entry;
    size_t offset = JournalList::FirstEntry();
    size_t next = 0;
    while (list.ReadEntry(offset, &entry, &next)) {
        read.push_back(std::string(1, entry.kind) + " " + std::to_string(entry.number) + " " +
                       std::to_string(entry.type) + " " + entry.text + " | " + entry.name + " | " +
                       std::string(reinterpret_cast<const char*>(entry.data), entry.dataSize));
        offset = next;
    }
    return read;
}

TEST(JournalList, EveryKindComesBackAsWritten) {
    const std::string path(259, 'p');
    const std::string binary("\0\x01\xFF\r\n", 5);
    const struct {
        const char* name;
        JournalEntry entry;
        size_t lines;
        std::string read;
    } cases[] = {
        {"new file", Entry('F', "C:\\Game\\a.txt"), 1, "F 0 0 C:\\Game\\a.txt |  | "},
        {"kept file", Entry('R', "C:\\Game\\readme.txt", 17), 1, "R 17 0 C:\\Game\\readme.txt |  | "},
        {"replaced at restart", Entry('P', "C:\\WIN\\A.DLL", 17), 1, "P 17 0 C:\\WIN\\A.DLL |  | "},
        {"folder of 259 bytes", Entry('D', path), 1, "D 0 0 " + path + " |  | "},
        {"Shift-JIS", Entry('G', "ZELKサンプルゲーム"), 1, "G 0 0 ZELKサンプルゲーム |  | "},
        {"item", Entry('I', "Group", 0, "Item, with comma"), 2, "I 0 0 Group | Item, with comma | "},
        {"key", Entry('K', "Software\\ZELK", 2), 1, "K 2 0 Software\\ZELK |  | "},
        {"value that was not there", Entry('V', "Software\\X", 1, "Name", "", kJournalNoValue), 2,
         "V 1 4294967295 Software\\X | Name | "},
        {"value of any bytes", Entry('V', "K", 1, "", binary, 3), 3, "V 1 3 K |  | " + binary},
        {"value of 128 bytes", Entry('V', "K", 1, "v", std::string(128, 'd'), 1), 3,
         "V 1 1 K | v | " + std::string(128, 'd')},
        {"value of 260 bytes", Entry('V', "K", 1, "v", std::string(260, 'd'), 1), 5,
         "V 1 1 K | v | " + std::string(260, 'd')},
        {"finished", Entry('E', ""), 1, "E 0 0  |  | "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string lines = Lines(c.entry);
        ASSERT_EQ(c.lines * kJournalLineSize, lines.size());
        for (size_t at = 0; at < lines.size(); at += kJournalLineSize) {
            EXPECT_EQ("\r\n", lines.substr(at + kJournalLineSize - 2, 2));
        }
        EXPECT_EQ(std::vector<std::string>{c.read}, ReadBack(Header("P") + lines));
    }
}

TEST(JournalList, HeaderNamesTheProduct) {
    char product[kPathSize];
    std::string header = Header("ZELKSampleGame");
    EXPECT_TRUE(JournalList(header.data(), header.size()).ReadHeader(product));
    EXPECT_STREQ("ZELKSampleGame", product);
    header[9] = '2';  // an earlier format
    EXPECT_TRUE(JournalList(header.data(), header.size()).ReadHeader(product));
    header[9] = '4';  // a later format
    EXPECT_FALSE(JournalList(header.data(), header.size()).ReadHeader(product));
    EXPECT_FALSE(JournalList(header.data(), kJournalLineSize - 1).ReadHeader(product));
    EXPECT_FALSE(JournalList("", 0).ReadHeader(product));
}

// The power went while the list was written: it is read up to its last whole entry, and an
// entry of several lines counts only whole.
TEST(JournalList, CutOffAnywhereIsReadToItsLastWholeEntry) {
    const std::string first = Lines(Entry('F', "C:\\a"));
    const std::string value = Lines(Entry('V', "K", 1, "v", std::string(200, 'd'), 1));
    const std::string all = Header("P") + first + value;
    for (size_t size = 0; size <= all.size(); ++size) {
        size_t expected = size < kJournalLineSize + first.size() ? 0 : size < all.size() ? 1 : 2;
        EXPECT_EQ(expected, ReadBack(all.substr(0, size)).size()) << size << " bytes";
    }
}

TEST(JournalList, RefusesWhatItDoesNotWrite) {
    const std::string good = Lines(Entry('F', "C:\\a"));
    const struct {
        const char* name;
        size_t at;
        char byte;
    } cases[] = {
        {"unknown kind", 0, 'Q'},
        {"a further line where an entry starts", 0, '+'},
        {"lower-case hex digit", 9, 'a'},
        {"length not a digit", 22, 'x'},
        {"length beyond a line", 20, '9'},
        {"no blank after the kind", 1, 'x'},
        {"a byte after the text", 40, 'x'},
        {"no CR LF", kJournalLineSize - 2, ' '},
        {"a control byte in the text", 25, '\n'},
    };
    for (const auto& c : cases) {
        std::string bad = good;
        bad[c.at] = c.byte;
        EXPECT_TRUE(ReadBack(Header("P") + bad + good).empty()) << c.name;
    }
    // An item's second line that is missing, or that starts an entry of its own.
    std::string item = Lines(Entry('I', "Group", 0, "Item"));
    EXPECT_TRUE(ReadBack(Header("P") + item.substr(0, kJournalLineSize) + good).empty());
    EXPECT_EQ(1u, ReadBack(Header("P") + item + good.substr(0, 100)).size());
}

TEST(JournalList, WritesNothingItCouldNotReadBack) {
    char out[kJournalMaxEntryLines * kJournalLineSize];
    EXPECT_EQ(0u, FormatJournalEntry(out, sizeof out, Entry('F', "line\r\nbreak")));
    EXPECT_EQ(0u, FormatJournalEntry(out, sizeof out, Entry('Q', "unknown kind")));
    EXPECT_EQ(0u, FormatJournalEntry(out, kJournalLineSize, Entry('I', "two lines", 0, "do not fit")));
    JournalEntry tooMuch = Entry('V', "K", 1, "v", std::string(260, 'd'), 1);
    tooMuch.dataSize = kJournalMaxData + 1;
    EXPECT_EQ(0u, FormatJournalEntry(out, sizeof out, tooMuch));
    JournalEntry entry;
    EXPECT_FALSE(MakeJournalEntry(&entry, 'F', std::string(260, 'p').c_str()));
    char header[kJournalLineSize];
    EXPECT_FALSE(FormatJournalHeader(header, std::string(260, 'p').c_str()));
}

}  // namespace
