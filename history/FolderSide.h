#pragma once
// A backup folder as one side of a diff: checked first, as restore and
// compare check it (every file against SHA256SUMS), so that a damaged
// backup is refused rather than diffed.
#include <filesystem>
#include <string>
#include <vector>

#include "backup/BackupContents.h"
#include "history/DiffSide.h"

class FolderSide : public DiffSide {
public:
    explicit FolderSide(std::string label) : label_(std::move(label)) {}

    // False with the reason when the backup is unusable or damaged.
    bool Load(const std::filesystem::path& folder, std::string* why);

    const std::string& Label() const override { return label_; }
    const std::vector<ManifestEntry>& Files() const override {
        return contents_.Entries().Entries();
    }
    std::string ChecksumOf(const std::string& name) const override;
    bool Read(const std::string& name, std::string* bytes, std::string* why) override;

private:
    std::string label_;
    BackupContents contents_;
};
