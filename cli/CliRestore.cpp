#include "cli/CliRestore.h"

#include <fstream>
#include <sstream>
#include <system_error>

#include "box/BoxSession.h"
#include "boxsim/Manifest.h"
#include "catalog/FileCatalog.h"
#include "cli/ChecksumList.h"
#include "cli/CliBackup.h"
#include "cli/CliClient.h"
#include "cli/ScopedCurrentDirectory.h"
#include "cli/Sha256.h"
#include "cli/UploadVerifier.h"

namespace fs = std::filesystem;

namespace {

bool LoadChecksums(const fs::path& path, ChecksumList* out, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = path.string() + ": cannot be read";
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (!ChecksumList::Parse(text.str(), out, error)) {
        *error = path.string() + ": " + *error;
        return false;
    }
    return true;
}

}  // namespace

CliRestore::CliRestore(const CliOptions& options, FILE* out, FILE* err)
    : options_(options), folder_(options.backupFolder), out_(out), err_(err) {}

bool CliRestore::CheckBackup() {
    Manifest manifest;
    ChecksumList sums;
    std::string error;
    if (!Manifest::Load((folder_ / CliBackup::kManifestName).string(), &manifest, &error) ||
        !LoadChecksums(folder_ / CliBackup::kChecksumsName, &sums, &error)) {
        std::fprintf(err_, "velqo-cli: %s is not a usable backup: %s\n", folder_.string().c_str(),
                     error.c_str());
        return false;
    }
    // Every file against its checksum, and every listed file must have one.
    std::vector<std::string> failing;
    for (const ChecksumLine& line : sums.Lines()) {
        std::string hex;
        const char* why = nullptr;
        if (!Sha256::OfFile((folder_ / line.name).string(), &hex)) {
            why = "missing or unreadable";
        } else if (hex != line.hex) {
            why = "its checksum does not match";
        }
        if (why != nullptr) {
            std::fprintf(err_, "velqo-cli: %s: %s\n", line.name.c_str(), why);
            failing.push_back(line.name);
        }
    }
    for (const ManifestEntry& e : manifest.Entries()) {
        bool known = sums.Find(e.name) != nullptr;
        for (const std::string& f : failing) {
            known = known || f == e.name;
        }
        if (!known) {
            std::fprintf(err_, "velqo-cli: %s: listed in the manifest but has no checksum\n",
                         e.name.c_str());
            failing.push_back(e.name);
        }
    }
    if (!failing.empty()) {
        std::string names;
        for (const std::string& f : failing) {
            names += (names.empty() ? "" : ", ") + f;
        }
        std::fprintf(err_, "velqo-cli: the backup in %s is damaged (%s); nothing was sent\n",
                     folder_.string().c_str(), names.c_str());
        return false;
    }
    for (const std::string& name : options_.names) {
        if (manifest.Find(name) == nullptr) {
            std::fprintf(err_, "velqo-cli: %s: not in the backup; nothing was sent\n",
                         name.c_str());
            return false;
        }
    }
    for (const ManifestEntry& e : manifest.Entries()) {
        bool named = false;
        for (const std::string& n : options_.names) {
            named = named || n == e.name;
        }
        bool planned = false;
        for (const Planned& p : plan_) {
            planned = planned || p.name == e.name;
        }
        if (!planned && (named || options_.names.empty())) {
            plan_.push_back({e.name, named});
        }
    }
    std::error_code ec;
    if (fs::exists(folder_ / CliBackup::kIncompleteName, ec)) {
        std::fprintf(err_,
                     "velqo-cli: note: %s is an incomplete backup (see its INCOMPLETE); "
                     "restoring the files it holds\n",
                     folder_.string().c_str());
    }
    return true;
}

int CliRestore::Run(BoxSession& session, const FileCatalog& catalog, UploadVerifier* verifier) {
    bool failed = false;
    int sent = 0;
    int skipped = 0;
    const fs::path absolute = fs::absolute(folder_);
    for (const Planned& p : plan_) {
        if (catalog.FindFileType(p.name.c_str()) == -1) {
            std::fprintf(err_, "velqo-cli: %s: the box no longer lists it; skipped\n",
                         p.name.c_str());
            ++skipped;
            failed = failed || p.named;
            continue;
        }
        if (options_.dryRun) {
            std::error_code ec;
            std::fprintf(out_, "would send %s (%llu byte(s))\n", p.name.c_str(),
                         static_cast<unsigned long long>(fs::file_size(absolute / p.name, ec)));
            ++sent;
            continue;
        }
        {
            ScopedCurrentDirectory inFolder(absolute);
            if (!inFolder.Entered()) {
                std::fprintf(err_, "velqo-cli: cannot enter %s\n", absolute.string().c_str());
                return CliClient::kExitFailed;
            }
            session.Upload(p.name.c_str());
        }
        if (session.LastOutcome() != TransferOutcome::kDone) {
            failed = true;
            if (CliClient::LinkLost(session)) {
                std::fprintf(err_, "velqo-cli: the link to the box is lost; stopping\n");
                break;
            }
            continue;
        }
        ++sent;
        if (verifier != nullptr && !verifier->Verify(session, p.name, absolute / p.name)) {
            failed = true;
            if (CliClient::LinkLost(session)) {
                std::fprintf(err_, "velqo-cli: the link to the box is lost; stopping\n");
                break;
            }
        }
    }
    std::fflush(out_);
    std::fprintf(err_, "velqo-cli: %s %d of %zu file(s) from %s, %d skipped\n",
                 options_.dryRun ? "would restore" : "restored", sent, plan_.size(),
                 folder_.string().c_str(), skipped);
    return failed ? CliClient::kExitFailed : CliClient::kExitOk;
}
