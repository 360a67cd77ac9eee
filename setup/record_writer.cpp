// Writing the lines of the uninstall record (portable).
//
// The order of the lines is fixed: the single values, the record's own path, the installed
// files and ADDFILE names as full paths, then the menu items, DLLs and fonts. Every line
// must come back whole from the readers, which take 259 bytes at a time: a longer line
// would be read as two, and its tail taken for a file to delete. Such a line fails the
// writing instead.
#include "record_writer.h"

#include <string.h>

namespace {

class LineWriter {
public:
    explicit LineWriter(ByteFile& file) : file_(file) {}

    // key (may be empty) + value [+ "," + extra] as one line.
    void Line(const char* key, const char* value, const char* extra = nullptr) {
        char line[kPathSize];
        line[0] = '\0';
        bool fits = AppendString(line, key) && AppendString(line, value ? value : "");
        if (extra != nullptr) fits = fits && AppendString(line, ",") && AppendString(line, extra);
        Put(fits, line);
    }
    // destination + "\" + name as one line.
    void Path(const char* destination, const char* name) {
        char path[kPathSize];
        Put(JoinPath(path, destination, name ? name : ""), path);
    }
    bool Succeeded() const { return ok_; }

private:
    void Put(bool fits, const char* line) {
        if (!ok_) return;
        ok_ = fits && file_.Write(line, strlen(line)) && file_.Write("\r\n", 2);
    }

    ByteFile& file_;
    bool ok_ = true;
};

}  // namespace

bool WriteRecordLines(const SetupContext& c, ByteFile& file) {
    LineWriter out(file);
    out.Line("Title=", c.title);
    if (c.menuGroup) out.Line("MenuGroup=", c.menuGroup);
    out.Line("UnRegistry=", c.unRegistry);
    out.Line("AppRegistry=", c.appRegistry);
    out.Line("AppVersion=", c.appVersion);
    char depth[12];
    FormatDecimal(depth, static_cast<int>(c.dirDepth));
    out.Line("DirDepth=", depth);
    out.Path(c.destination, c.unZelkName);
    for (int i = 0; i < c.fileCount; ++i) out.Path(c.destination, InstalledFileName(c, i));
    for (int i = 0; i < c.addFileCount; ++i) out.Path(c.destination, c.addFile[i]);
    for (int i = 0; i < c.fileCount; ++i) {
        if (c.fileMenuItem[i]) out.Line("MenuItem=", c.fileMenuItem[i]);
    }
    if (c.menuUninst) out.Line("MenuItem=", c.menuUninst);
    for (int i = 0; i < c.dllCount; ++i) out.Line("Dll=", InstalledDllName(c, i));
    for (int i = 0; i < c.fontCount; ++i) out.Line("Font=", InstalledFontName(c, i), c.fontName[i]);
    return out.Succeeded();
}
