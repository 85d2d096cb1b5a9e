#pragma once
// Reads an uploaded file back from the box, in the same session, into a
// temporary folder and compares it byte for byte with the local file: the
// protocol carries no checksum of its own. The folder, inside the working
// directory, goes with the object.
#include <cstdio>
#include <filesystem>
#include <string>

class BoxSession;

class UploadVerifier {
public:
    UploadVerifier(std::filesystem::path workingDirectory, FILE* err);
    ~UploadVerifier();
    UploadVerifier(const UploadVerifier&) = delete;
    UploadVerifier& operator=(const UploadVerifier&) = delete;

    // True when the box's copy of `name` equals the file at `uploaded`;
    // otherwise says why on err.
    bool Verify(BoxSession& session, const std::string& name,
                const std::filesystem::path& uploaded);

private:
    bool MakeArea();

    std::filesystem::path workingDirectory_;
    std::filesystem::path area_;  // empty until the first read-back
    FILE* err_;                   // not owned
};
