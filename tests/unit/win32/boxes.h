// Test support: answers the programs' message boxes and records what they showed.
#ifndef ZELK_TESTS_BOXES_H
#define ZELK_TESTS_BOXES_H

#include <windows.h>

#include <string>
#include <vector>

struct ShownBox {
    HWND owner;
    std::string text;
    std::string caption;
    UINT style;
};

// While alive, every box of the code under test is recorded and answered with `answer`.
class BoxRecorder {
public:
    explicit BoxRecorder(int answer = IDOK);
    ~BoxRecorder();
    BoxRecorder(const BoxRecorder&) = delete;
    BoxRecorder& operator=(const BoxRecorder&) = delete;

    const std::vector<ShownBox>& boxes() const;
    // Answers for the next boxes, in order; after them `answer` again.
    void AnswerNext(std::vector<int> answers);
};

// The text of string-table entry id of the program under test.
std::string LoadedString(int id);

// Folder of the test program (the Windows build folder).
std::string TestFolder();

#endif
