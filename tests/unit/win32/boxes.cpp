// Test support: message box recording.
#include "boxes.h"

#include <deque>

#include "common/system.h"

namespace {
std::vector<ShownBox> recorded;
std::deque<int> queued;
int defaultAnswer = IDOK;

int WINAPI RecordBox(HWND owner, LPCSTR text, LPCSTR caption, UINT style) {
    recorded.push_back({owner, text ? text : "", caption ? caption : "", style});
    if (!queued.empty()) {
        int answer = queued.front();
        queued.pop_front();
        return answer;
    }
    return defaultAnswer;
}
}  // namespace

BoxRecorder::BoxRecorder(int answer) {
    recorded.clear();
    queued.clear();
    defaultAnswer = answer;
    g_messageBox = RecordBox;
}

BoxRecorder::~BoxRecorder() { g_messageBox = MessageBoxA; }

const std::vector<ShownBox>& BoxRecorder::boxes() const { return recorded; }

void BoxRecorder::AnswerNext(std::vector<int> answers) { queued.assign(answers.begin(), answers.end()); }

std::string LoadedString(int id) {
    char text[1024] = "";
    LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof text);
    return text;
}

std::string TestFolder() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\'));
}
