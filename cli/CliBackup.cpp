#include "cli/CliBackup.h"

#include <ctime>
#include <system_error>

#include "box/BoxSession.h"
#include "box/ReplacingFile.h"
#include "boxsim/Manifest.h"
#include "cli/ChecksumList.h"
#include "cli/CliClient.h"
#include "cli/ScopedCurrentDirectory.h"
#include "cli/Sha256.h"

namespace fs = std::filesystem;

namespace {

constexpr int kMaxFolderAttempts = 100;

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

// The host as part of a folder name: anything but letters, digits, '.', '-'
// and '_' becomes '_'.
std::string FolderSafe(std::string text) {
    for (char& c : text) {
        const bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                          (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '_';
        if (!keep) {
            c = '_';
        }
    }
    return text;
}

std::string LocalTimeStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

// Whether the manifest can hold the entry so that it reads back the same.
bool FitsManifest(const ManifestEntry& entry) {
    Manifest parsed;
    std::string error;
    return Manifest::Parse(Manifest::Format({entry}), &parsed, &error) &&
           parsed.Entries().size() == 1 && parsed.Entries()[0].group == entry.group &&
           parsed.Entries()[0].name == entry.name;
}

struct Missing {
    std::string name;
    std::string why;
};

std::string IncompleteText(const std::vector<Missing>& missing) {
    std::string text =
        "This backup is not complete: the box listed these files, which are not in it.\n";
    for (const Missing& m : missing) {
        text += m.name + ": " + m.why + "\n";
    }
    return text;
}

}  // namespace

CliBackup::CliBackup(fs::path into, std::string host, FILE* out, FILE* err)
    : into_(std::move(into)), host_(std::move(host)), out_(out), err_(err) {}

bool CliBackup::IsOwnFileName(const std::string& name) {
    const std::string lower = Lower(name);
    for (const char* own : {kManifestName, kChecksumsName, kIncompleteName}) {
        if (lower == Lower(own)) {
            return true;
        }
    }
    return false;
}

bool CliBackup::MakeFolder() {
    std::error_code ec;
    fs::create_directories(into_, ec);
    const std::string stem = FolderSafe(host_) + "-" + LocalTimeStamp();
    // A second backup within the same second gets its own folder, never an old one.
    for (int n = 1; n <= kMaxFolderAttempts; ++n) {
        const fs::path candidate = into_ / (n == 1 ? stem : stem + "-" + std::to_string(n));
        if (fs::create_directory(candidate, ec)) {
            folder_ = candidate;
            return true;
        }
        if (ec) {
            break;
        }
    }
    std::fprintf(err_, "velqo-cli: cannot make a backup folder in %s%s%s\n", into_.string().c_str(),
                 ec ? ": " : "", ec ? ec.message().c_str() : "");
    return false;
}

bool CliBackup::WriteText(const char* name, const std::string& text) {
    const fs::path target = folder_ / name;
    const fs::path temporary = folder_ / (std::string("~velqo-") + name + ".part");
    ReplacingFile file(target.string(), temporary.string());
    if (file.IsOpen()) {
        file.Write(text.data(), text.size());
        if (file.Commit()) {
            return true;
        }
    }
    std::fprintf(err_, "velqo-cli: cannot write %s\n", target.string().c_str());
    return false;
}

int CliBackup::Run(BoxSession& session, const std::vector<wire::ListRecord>& listed) {
    if (!MakeFolder()) {
        return CliClient::kExitFailed;
    }
    std::vector<ManifestEntry> entries;
    std::vector<std::string> names;  // each name once, in list order
    for (const wire::ListRecord& r : listed) {
        entries.push_back({r.group, r.name, r.type});
        bool seen = false;
        for (const std::string& n : names) {
            seen = seen || n == r.name;
        }
        if (!seen) {
            names.push_back(r.name);
        }
    }
    std::vector<Missing> missing;
    for (const std::string& n : names) {
        missing.push_back({n, "not saved: the backup was broken off"});
    }
    // Until the end the folder says that it is not complete.
    if (!WriteText(kIncompleteName, IncompleteText(missing))) {
        return CliClient::kExitFailed;
    }
    missing.clear();

    std::vector<ChecksumLine> sums;
    bool linkLost = false;
    for (const std::string& name : names) {
        const auto fail = [&](const std::string& why) {
            std::fprintf(err_, "velqo-cli: %s: not saved: %s\n", name.c_str(), why.c_str());
            missing.push_back({name, why});
        };
        if (linkLost) {
            fail("not tried, the link to the box was lost");
            continue;
        }
        if (IsOwnFileName(name)) {
            fail("its name is that of one of the backup's own files");
            continue;
        }
        bool fits = true;
        for (const ManifestEntry& e : entries) {
            fits = fits && (e.name != name || FitsManifest(e));
        }
        if (!fits) {
            fail("its group or name cannot be written in a manifest");
            continue;
        }
        {
            ScopedCurrentDirectory inFolder(folder_);
            if (inFolder.Entered()) {
                session.Dump(name.c_str());
            }
        }
        if (session.LastOutcome() != TransferOutcome::kDone) {
            linkLost = CliClient::LinkLost(session);
            fail("the download failed");
            continue;
        }
        ChecksumLine sum{"", name};
        if (!Sha256::OfFile((folder_ / name).string(), &sum.hex)) {
            fail("the saved file cannot be read back");
            continue;
        }
        sums.push_back(sum);
    }

    std::vector<ManifestEntry> saved;
    for (const ManifestEntry& e : entries) {
        bool wasSaved = false;
        for (const ChecksumLine& s : sums) {
            wasSaved = wasSaved || s.name == e.name;
        }
        if (wasSaved) {
            saved.push_back(e);
        }
    }
    bool written = WriteText(kChecksumsName, ChecksumList::Format(sums)) &&
                   WriteText(kManifestName, Manifest::Format(saved));
    if (written && missing.empty()) {
        std::error_code ec;
        written = fs::remove(folder_ / kIncompleteName, ec);
    } else if (written) {
        written = WriteText(kIncompleteName, IncompleteText(missing));
    }
    std::fprintf(out_, "%s\n", folder_.string().c_str());
    std::fflush(out_);
    if (!written || !missing.empty()) {
        std::fprintf(err_, "velqo-cli: INCOMPLETE backup in %s: %zu of %zu file(s) saved\n",
                     folder_.string().c_str(), sums.size(), names.size());
        return CliClient::kExitFailed;
    }
    std::fprintf(err_, "velqo-cli: backup of %zu file(s) complete in %s\n", sums.size(),
                 folder_.string().c_str());
    return CliClient::kExitOk;
}
