#pragma once
// The substitute box's folder for the request fuzzer: a manifest, files of
// several kinds (text, binary, empty, a folder where a file is listed, a
// listed file that is missing), a snapshot of what the folder should hold
// and the means to compare and restore it.
#include <map>
#include <string>

class BoxFolder {
public:
    using Files = std::map<std::string, std::string>;  // name -> content, regular files only

    static constexpr const char* kPassword = "7351";
    // A folder that stands where the manifest lists a file.
    static constexpr const char* kFolderName = "folder.bin";

    // Makes the folder inside `parent` and writes its files.
    bool Create(const std::string& parent, std::string* error);
    const std::string& Path() const { return path_; }

    // The regular files as first written (the manifest among them).
    const Files& Initial() const { return initial_; }
    bool IsListed(const std::string& name) const;

    // What the folder holds now; false with a reason when it holds anything
    // but regular files and the one folder, or the folder was changed.
    bool Read(Files* files, std::string* why) const;
    // Puts the folder back as first written.
    void Restore() const;

private:
    std::string path_;
    Files initial_;
};
