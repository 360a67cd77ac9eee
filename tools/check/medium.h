// The Linux folder that stands for the folder setup.exe runs from, and how the Windows
// paths setup would open map onto the files in it.
#ifndef ZELK_TOOLS_MEDIUM_H
#define ZELK_TOOLS_MEDIUM_H

#include <string>

struct FoundFile {
    enum Status { kFound, kMissing, kFolder, kOtherDrive };
    Status status;
    std::string linuxPath;  // the file found; for kMissing how far the path got
    std::string relative;   // the path below the medium's drive root, "/"-separated, UTF-8
    char drive;             // kOtherDrive: the drive letter the path names
};

class MediumFolder {
public:
    // folder: the Linux folder; setupDir: the Windows folder it stands for ("D:",
    // "D:\\SETUP"): its drive is the medium's, and the folders above it are the Linux
    // folder's parents.
    MediumFolder(const std::string& folder, const std::string& setupDir);

    // Looks up the file a Windows path (Shift-JIS; absolute, from the drive's root, or
    // relative to setupDir) names. Letters match without regard to case, as on Windows.
    FoundFile Find(const std::string& windowsPath) const;

private:
    std::string root_;        // the Linux folder of the drive's root
    std::string setupParts_;  // setupDir below its drive, "\\"-separated
    char drive_;
};

#endif
