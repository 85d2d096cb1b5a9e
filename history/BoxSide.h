#pragma once
// The live box as one side of a diff: its files as it lists them, each read
// back into memory through the session when the diff needs it; nothing is
// written to the box or to disk.
#include <string>
#include <vector>

#include "box/WireFormat.h"
#include "history/DiffSide.h"

class BoxSession;

class BoxSide : public DiffSide {
public:
    static constexpr const char* kLabel = "box";

    // `session`: logged in, not owned. `listed`: the box's list, in its
    // order; a name listed twice counts once, and a name that is no plain
    // file name (a path, "..", cut short) is left out, as it cannot be read.
    BoxSide(BoxSession& session, const std::vector<wire::ListRecord>& listed);

    const std::string& Label() const override { return label_; }
    const std::vector<ManifestEntry>& Files() const override { return files_; }
    bool Read(const std::string& name, std::string* bytes, std::string* why) override;

private:
    BoxSession& session_;  // not owned
    std::string label_ = kLabel;
    std::vector<ManifestEntry> files_;
};
