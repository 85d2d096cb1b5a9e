// Plays arbitrary box byte streams against the PC side of the box protocol.
// Each input opens a fresh loopback connection, sends the box's bytes, ends
// the stream, and runs the chosen sequence of session operations on it.
// Besides memory and undefined-behaviour faults, which the sanitizers catch,
// it checks what a box must never be able to do to the tool: results and
// login state outside their documented values, progress outside 0..100, a
// failed list that touches the caller's buffer, texts not terminated within
// their fields, a broken download that damages the local file or leaves a
// partial one behind.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

#include "box/BoxSession.h"
#include "box/BoxSocket.h"
#include "box/DownloadFile.h"
#include "box/WireFormat.h"
#include "fuzz/LoopbackBox.h"
#include "fuzz/SessionScript.h"

namespace {

namespace fs = std::filesystem;
using fuzzscript::OpKind;

LoopbackBox* g_box = nullptr;  // lives for the whole run
fs::path g_workDir;
// VELQO_FUZZ_TRACE=1 prints each operation's result, state and log, for
// reading what a reproducer does.
bool g_trace = false;
std::string g_log;
int g_lastProgress = -1;

const std::string kKeptContent = "the local copy that a broken download must not touch\n";

// The link's time-out for every send and receive here: above run.sh's
// time-out per input, so that an operation that waits for it after the
// stream has ended, which it never has to, is a finding; and so long that
// no input comes near it only because the machine is loaded.
constexpr int kLinkTimeoutMs = 120000;

[[noreturn]] void Fail(const char* what, const char* detail = "") {
    std::fprintf(stderr, "velqo_fuzz_session: %s %s\n", what, detail);
    std::fflush(stderr);
    std::abort();
}

void Expect(bool condition, const char* what, const char* detail = "") {
    if (!condition) {
        Fail(what, detail);
    }
}

int CollectLog(const char* text, int color) {
    Expect(text != nullptr, "log text is null");
    Expect(color == 0, "log colour is not 0");
    g_log += text;
    return 0;
}

int CheckProgress(int percent) {
    Expect(percent >= 0 && percent <= 100, "progress outside 0..100");
    g_lastProgress = percent;
    return 0;
}

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

void WriteFile(const char* name, const std::string& content) {
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    out << content;
    if (!out) {
        Fail("cannot write local file", name);
    }
}

std::string ReadFile(const char* name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void RemoveWorkDir() {
    std::error_code ec;
    fs::remove_all(g_workDir, ec);
}

void MakeWorkDir() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern =
        std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/velqo-fuzz-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr || chdir(pattern.c_str()) != 0) {
        Fail("cannot make the working directory", pattern.c_str());
    }
    g_workDir = pattern;
    std::atexit(RemoveWorkDir);
    for (size_t i = 0; i < fuzzscript::kUploadFileCount; ++i) {
        const fuzzscript::UploadFile& f = fuzzscript::kUploadFiles[i];
        if (f.plain && f.size >= 0) {
            std::string content(static_cast<size_t>(f.size), '\0');
            for (size_t k = 0; k < content.size(); ++k) {
                content[k] = static_cast<char>('A' + k % 26);
            }
            WriteFile(f.name, content);
        }
    }
    WriteFile(fuzzscript::kKeptName, kKeptContent);
}

int RunLogin(BoxSession& session, int arg) {
    const int r = session.Login(fuzzscript::kPasswords[arg % fuzzscript::kPasswordCount]);
    Expect(r == 0 || r == 1 || r == 2, "Login result outside 0, 1, 2");
    Expect(session.State() == (r == 1 ? BoxSession::kLoggedIn : BoxSession::kNotLoggedIn),
           "Login left the wrong state");
    return r;
}

int RunList(BoxSession& session) {
    wire::ListRecord records[wire::kMaxListRecords];
    for (wire::ListRecord& rec : records) {
        std::memset(rec.group, 'G', sizeof rec.group);
        std::memset(rec.name, 'N', sizeof rec.name);
        rec.type = 0x5A5A5A5A;
    }
    wire::ListRecord untouched[wire::kMaxListRecords];
    std::memcpy(untouched, records, sizeof records);
    const int stateBefore = session.State();
    int count = -777;
    const int r = session.ListFiles(records, &count);
    if (r == 1) {
        Expect(count >= 0 && count <= static_cast<int>(wire::kMaxListRecords),
               "list count outside 0..28");
        for (int i = 0; i < count; ++i) {
            Expect(strnlen(records[i].group, sizeof records[i].group) < sizeof records[i].group,
                   "group name not terminated within its field");
            Expect(strnlen(records[i].name, sizeof records[i].name) < sizeof records[i].name,
                   "file name not terminated within its field");
        }
        Expect(std::memcmp(records + count, untouched + count,
                           sizeof(wire::ListRecord) * (wire::kMaxListRecords - count)) == 0,
               "list wrote records past its count");
        Expect(session.State() == stateBefore, "a received list changed the state");
    } else {
        Expect(r == 0, "ListFiles result outside 0, 1");
        Expect(count == -777 && std::memcmp(records, untouched, sizeof records) == 0,
               "a failed list touched the caller's buffer");
        Expect(session.State() == BoxSession::kNotLoggedIn, "a failed list kept the login");
    }
    Expect(g_log.empty(), "ListFiles logged something");
    return r;
}

int RunDump(BoxSession& session, int arg) {
    const fuzzscript::DumpName& d = fuzzscript::kDumpNames[arg % fuzzscript::kDumpNameCount];
    const bool kept = std::strcmp(d.name, fuzzscript::kKeptName) == 0;
    if (d.plain && !kept) {
        std::error_code ec;
        fs::remove(d.name, ec);
    }
    const int stateBefore = session.State();
    g_lastProgress = -1;
    const int r = session.Dump(d.name);
    Expect(r == 0 || r == 1, "Dump result outside 0, 1", d.name);
    if (!d.plain) {
        Expect(r == 0 && session.State() == stateBefore, "an unsafe name was not refused", d.name);
        return r;
    }
    Expect(!fs::exists(DownloadFile::TemporaryName(d.name)), "a partial download was left behind",
           d.name);
    // A replaced file of other bytes is named after the end, as kept beside it.
    const bool finished =
        EndsWith(g_log, "\nPC > Dump finished !\n") ||
        g_log.find(
            "\nPC > Dump finished !\nPC > The local file it replaced held other bytes: "
            "kept as ") != std::string::npos;
    Expect(finished == (r == 1 && !EndsWith(g_log, "\nPC > read file fail!\n")),
           "Dump result and log disagree", d.name);
    if (finished) {
        Expect(g_lastProgress == 100, "a finished download did not report 100");
        Expect(fs::exists(d.name), "a finished download left no file", d.name);
    } else if (kept) {
        Expect(ReadFile(d.name) == kKeptContent, "an unfinished download changed the local file");
    } else {
        Expect(!fs::exists(d.name), "an unfinished download left a file", d.name);
    }
    if (kept) {
        WriteFile(d.name, kKeptContent);
    }
    return r;
}

int RunUpload(BoxSession& session, int arg) {
    const fuzzscript::UploadFile& f = fuzzscript::kUploadFiles[arg % fuzzscript::kUploadFileCount];
    const int stateBefore = session.State();
    g_lastProgress = -1;
    const int r = session.Upload(f.name);
    Expect(r == -1 || r == 0 || r == 1, "Upload result outside -1, 0, 1", f.name);
    if (!f.plain || f.size < 0) {
        Expect(r == 0 && session.State() == stateBefore,
               "an unsafe or missing file was not refused", f.name);
        return r;
    }
    if (r == BoxSession::kUploadBoxFailed) {
        Expect(session.State() == BoxSession::kNotLoggedIn && !session.Socket()->IsConnected(),
               "a failed upload kept the link");
    } else {
        Expect(session.State() == stateBefore, "Upload changed the state", f.name);
    }
    if (r == 1) {
        Expect(g_lastProgress == 100, "a sent file did not report 100", f.name);
    }
    return r;
}

int RunLogout(BoxSession& session) {
    Expect(session.Logout() == 0, "Logout result is not 0");
    Expect(session.State() == BoxSession::kNotLoggedIn, "Logout kept the login");
    return 0;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    MakeWorkDir();
    static LoopbackBox box;
    std::string error;
    if (!box.Listen(&error)) {
        Fail("cannot listen", error.c_str());
    }
    g_box = &box;
    const char* trace = std::getenv("VELQO_FUZZ_TRACE");
    g_trace = trace != nullptr && *trace != '\0' && *trace != '0';
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzscript::Script script;
    if (!fuzzscript::ParseScript(data, size, &script)) {
        return -1;  // too short to name its operations: not worth keeping
    }
    BoxSocket socket;
    if (!socket.Connect("127.0.0.1", g_box->Port(), 2000) || !g_box->Accept()) {
        Fail("cannot open a loopback connection");
    }
    socket.SetIoTimeoutMs(kLinkTimeoutMs);
    if (g_box->Play(script.box, script.boxSize) < script.boxSize) {
        static bool warned = false;
        if (!warned) {
            std::fprintf(stderr, "velqo_fuzz_session: socket buffers too small, stream cut\n");
            warned = true;
        }
    }
    BoxSession session(&socket);
    session.SetLogSink(&CollectLog);
    session.SetProgressSink(&CheckProgress);
    for (const fuzzscript::Op& op : script.ops) {
        g_log.clear();
        int r = 0;
        switch (op.kind) {
            case OpKind::kLogin:
                r = RunLogin(session, op.arg);
                break;
            case OpKind::kList:
                r = RunList(session);
                break;
            case OpKind::kDump:
                r = RunDump(session, op.arg);
                break;
            case OpKind::kUpload:
                r = RunUpload(session, op.arg);
                break;
            case OpKind::kLogout:
                r = RunLogout(session);
                break;
        }
        g_box->Drain();
        if (g_trace) {
            static const char* const kNames[] = {"Login", "ListFiles", "Dump", "Upload", "Logout"};
            std::fprintf(stderr, "%s(%d) = %d, state %d, log:\n%s\n",
                         kNames[static_cast<int>(op.kind)], op.arg, r, session.State(),
                         g_log.c_str());
        }
    }
    g_box->Abort();
    return 0;
}
