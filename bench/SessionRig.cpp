#include "bench/SessionRig.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

#include "boxsim/BoxSimulator.h"
#include "catalog/Manifest.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kPassword = "4321";
constexpr int kBoxWaitMs = 5000;
constexpr Cost kFailed{-1, 0};

// The sinks do what a front end's must at least do: take every line and
// every report. They keep only what the checks need.
int g_lastProgress = -1;

int TakeLog(const char*, int) {
    return 0;
}

int TakeProgress(int percent) {
    g_lastProgress = percent;
    return 0;
}

bool WriteFile(const fs::path& path, uint64_t size) {
    std::vector<char> chunk(1 << 16);
    for (size_t i = 0; i < chunk.size(); ++i) {
        chunk[i] = static_cast<char>(i * 7 + 1);
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (uint64_t left = size; left > 0;) {
        const size_t n = left < chunk.size() ? static_cast<size_t>(left) : chunk.size();
        out.write(chunk.data(), static_cast<std::streamsize>(n));
        left -= n;
    }
    return static_cast<bool>(out);
}

std::string UploadName(const char* name) {
    return std::string("up-") + name;
}

// Every measured transfer writes a new file, as a first download or upload
// does: the file of the previous run is removed once it has been checked,
// outside the measured time. Replacing an existing file would add the file
// system's own cost of a replacing rename (ext4 writes the new file's data
// out first), which has nothing to do with the link.
void RemoveCheckedFile(const fs::path& path) {
    std::error_code ec;
    fs::remove(path, ec);
}

}  // namespace

struct SessionRig::Box {
    explicit Box(const BoxSimOptions& options) : sim(options) {}
    BoxSimulator sim;
};

struct SessionRig::PcSession {
    PcSession() {
        session.SetLogSink(&TakeLog);
        session.SetProgressSink(&TakeProgress);
    }
    bool Open(uint16_t port) {
        return socket.Connect("127.0.0.1", port, BoxSocket::kDefaultConnectTimeoutMs) &&
               session.Login(kPassword) == BoxSession::kLoginOk;
    }
    BoxSocket socket;
    BoxSession session{&socket};
};

SessionRig::SessionRig() = default;

SessionRig::~SessionRig() {
    toBox_.reset();
    toBareLoop_.reset();
    fresh_.reset();
    box_.reset();
    bareBox_.reset();
    loginBox_.reset();
    std::error_code ec;
    if (!previousDir_.empty()) {
        fs::current_path(previousDir_, ec);
    }
    if (!root_.empty()) {
        fs::remove_all(root_, ec);
    }
}

bool SessionRig::Start(const BoxFile* files, size_t count, std::string* error) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern =
        std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/velqo-bench-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        *error = "cannot create a temporary folder from " + pattern;
        return false;
    }
    root_ = pattern;
    const fs::path boxDir = root_ / "box";
    const fs::path pcDir = root_ / "pc";
    std::error_code ec;
    fs::create_directories(boxDir, ec);
    fs::create_directories(pcDir, ec);
    std::vector<ManifestEntry> entries;
    for (size_t i = 0; i < count; ++i) {
        if (!WriteFile(boxDir / files[i].name, files[i].size) ||
            !WriteFile(pcDir / UploadName(files[i].name), files[i].size)) {
            *error = std::string("cannot write ") + files[i].name + " in " + root_.string();
            return false;
        }
        entries.push_back({"Bench", files[i].name, 0});
    }
    std::ofstream manifest(boxDir / "manifest.txt", std::ios::trunc);
    manifest << Manifest::Format(entries);
    manifest.close();
    if (!manifest) {
        *error = "cannot write the manifest";
        return false;
    }
    previousDir_ = fs::current_path(ec);
    fs::current_path(pcDir, ec);
    if (ec) {
        *error = "cannot enter " + pcDir.string();
        return false;
    }
    // Each substitute box has a folder of its own (the files hard-linked),
    // so that their stored uploads never meet.
    const char* const folders[] = {"box-session", "box-bare", "box-login"};
    std::unique_ptr<Box>* boxes[] = {&box_, &bareBox_, &loginBox_};
    for (size_t b = 0; b < std::size(folders); ++b) {
        const fs::path dir = root_ / folders[b];
        fs::create_directories(dir, ec);
        for (const auto& entry : fs::directory_iterator(boxDir, ec)) {
            fs::create_hard_link(entry.path(), dir / entry.path().filename(), ec);
            if (ec) {
                *error = "cannot link " + entry.path().string() + ": " + ec.message();
                return false;
            }
        }
        BoxSimOptions options;
        options.folder = dir.string();
        options.port = 0;
        options.password = kPassword;
        *boxes[b] = std::make_unique<Box>(options);
        if (!(*boxes[b])->sim.Start(error)) {
            return false;
        }
    }
    if (!bareLoop_.Start(error)) {
        return false;
    }
    toBox_ = std::make_unique<PcSession>();
    toBareLoop_ = std::make_unique<PcSession>();
    fresh_ = std::make_unique<PcSession>();
    if (!toBox_->Open(box_->sim.Port()) || !toBareLoop_->Open(bareLoop_.Port())) {
        *error = "the session cannot connect and log in";
        return false;
    }
    return bareToBareLoop_.Open(bareLoop_.Port(), kPassword, error) &&
           bareToBox_.Open(bareBox_->sim.Port(), kPassword, error);
}

double SessionRig::ConnectLoginList(std::string* error) {
    wire::ListRecord records[wire::kMaxListRecords];
    int count = -1;
    BoxSimulator& sim = loginBox_->sim;
    const int ended = sim.Stats().connectionsEnded;
    const Stopwatch watch;
    const bool ok = fresh_->Open(sim.Port()) && fresh_->session.ListFiles(records, &count) == 1;
    const double seconds = watch.Elapsed().wall;
    fresh_->session.Logout();
    fresh_->socket.Close();
    if (!ok || count != static_cast<int>(sim.Files().Entries().size())) {
        *error = "connect, login and list failed";
        return -1;
    }
    // The box serves one connection at a time: the next measurement starts
    // only once it has let this one go.
    if (!sim.WaitFor([ended](const BoxSimStats& s) { return s.connectionsEnded > ended; },
                     kBoxWaitMs)) {
        *error = "the substitute box did not end the connection";
        return -1;
    }
    return seconds;
}

Cost SessionRig::Transfer(Pair pair, bool download, const BoxFile& file, std::string* error) {
    switch (pair) {
        case Pair::kSessionToBox:
            return download ? SessionDump(*toBox_, file, error)
                            : SessionUpload(*toBox_, box_.get(), file, error);
        case Pair::kSessionToBareBox:
            return download ? SessionDump(*toBareLoop_, file, error)
                            : SessionUpload(*toBareLoop_, nullptr, file, error);
        case Pair::kBareToBareBox:
        case Pair::kBareToBox: {
            BareClient& client = pair == Pair::kBareToBox ? bareToBox_ : bareToBareLoop_;
            const int stored = bareBox_->sim.Stats().uploadsStored;
            const Cost s = download ? client.Download(file.name)
                                    : client.Upload(UploadName(file.name).c_str(), file.size);
            if (s.wall < 0) {
                *error = std::string("bare ") + (download ? "download" : "upload") + " failed";
                return s;
            }
            // The next measurement starts once the box has stored the file.
            if (pair == Pair::kBareToBox && !download) {
                const bool ok = bareBox_->sim.WaitFor(
                    [stored](const BoxSimStats& st) { return st.uploadsStored > stored; },
                    kBoxWaitMs);
                RemoveCheckedFile(fs::path(bareBox_->sim.Options().folder) / UploadName(file.name));
                if (!ok) {
                    *error = "the substitute box did not store the bare upload";
                    return kFailed;
                }
            }
            return s;
        }
    }
    return kFailed;
}

Cost SessionRig::SessionDump(PcSession& pc, const BoxFile& file, std::string* error) {
    g_lastProgress = -1;
    const Stopwatch watch;
    const int r = pc.session.Dump(file.name);
    const Cost cost = watch.Elapsed();
    std::error_code ec;
    if (r != 1 || g_lastProgress != 100 || fs::file_size(file.name, ec) != file.size) {
        *error = std::string("dump of ") + file.name + " failed";
        return kFailed;
    }
    RemoveCheckedFile(file.name);
    return cost;
}

Cost SessionRig::SessionUpload(PcSession& pc, Box* box, const BoxFile& file, std::string* error) {
    const int stored = box != nullptr ? box->sim.Stats().uploadsStored : 0;
    g_lastProgress = -1;
    const std::string name = UploadName(file.name);
    const Stopwatch watch;
    const int r = pc.session.Upload(name.c_str());
    const Cost cost = watch.Elapsed();
    // The substitute box stores the file after its last reply; the check
    // waits for that, outside the measured time.
    bool ok = r == 1 && g_lastProgress == 100;
    if (box != nullptr) {
        ok = ok &&
             box->sim.WaitFor([stored](const BoxSimStats& s) { return s.uploadsStored > stored; },
                              kBoxWaitMs);
        RemoveCheckedFile(fs::path(box->sim.Options().folder) / name);
    }
    if (!ok) {
        *error = "upload of " + name + " failed: result " + std::to_string(r) + ", progress " +
                 std::to_string(g_lastProgress) +
                 (box != nullptr ? " (substitute box)" : " (bare box)");
        return kFailed;
    }
    return cost;
}
