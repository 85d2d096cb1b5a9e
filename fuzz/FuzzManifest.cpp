// Feeds arbitrary text to the substitute box's manifest reader. Besides what
// the sanitizers catch, it checks that an accepted manifest holds only what
// the list reply can carry, and that writing it out and reading it back
// gives the same entries.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "box/PlainFileName.h"
#include "catalog/Manifest.h"

namespace {

void Expect(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "velqo_fuzz_manifest: %s\n", what);
        std::fflush(stderr);
        std::abort();
    }
}

bool Same(const std::vector<ManifestEntry>& a, const std::vector<ManifestEntry>& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].group != b[i].group || a[i].name != b[i].name || a[i].type != b[i].type) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    Manifest manifest;
    std::string error;
    if (!Manifest::Parse(text, &manifest, &error)) {
        Expect(manifest.Entries().empty(), "a failed parse filled the manifest");
        Expect(error.rfind("line ", 0) == 0, "a failure that names no line");
        return 0;
    }
    const auto& entries = manifest.Entries();
    Expect(entries.size() <= Manifest::kMaxEntries, "more entries than the list carries");
    for (const ManifestEntry& e : entries) {
        Expect(!e.group.empty() && e.group.size() <= Manifest::kMaxGroupLength,
               "a group name that does not fit");
        Expect(IsPlainFileName(e.name.c_str()), "a file name that is not plain");
        Expect(manifest.Find(e.name) != nullptr, "a listed name is not found");
    }
    Manifest again;
    Expect(Manifest::Parse(Manifest::Format(entries), &again, &error),
           "a written manifest does not read back");
    Expect(Same(entries, again.Entries()), "a written manifest reads back differently");
    return 0;
}
