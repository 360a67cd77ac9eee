// The text of the start-up's file-missing box: a literal of the program, not a string-table
// entry. A macro, so that each user gets it in its own execution character set (setup in
// Shift-JIS; the publisher's checker in UTF-8).
#ifndef ZELK_SETUP_MISSING_FILE_H
#define ZELK_SETUP_MISSING_FILE_H

#define ZELK_MISSING_FILE_FORMAT "ファイル\"%s\"がみつかりません。"

#endif
