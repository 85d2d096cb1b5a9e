// velqo-cli's --json documents, compare and restore --changed-only, run as a
// program against substitute boxes over loopback, on real files.
#include <cstdlib>
#include <functional>

#include <nlohmann/json.hpp>

#include "tests/cli/CliBackupFixture.h"

namespace fs = std::filesystem;
using namespace cli_test;
using Json = nlohmann::json;

namespace {

// A variable of the environment the programs started meanwhile inherit.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : name_(name) { Set(value); }
    ~ScopedEnvironment() { Set(nullptr); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

    void Set(const char* value) {
#ifdef _WIN32
        _putenv_s(name_, value != nullptr ? value : "");
#else
        if (value != nullptr) {
            setenv(name_, value, 1);
        } else {
            unsetenv(name_);
        }
#endif
    }

private:
    const char* name_;
};

constexpr const char* kPassword = "2468";

}  // namespace

// Every box with its own password, which velqo-cli has from VELQO_PASSWORD.
class CliWholeBoxTest : public CliBackupTest {
protected:
    BoxSimulator& Box(const std::string& folder, BoxSimOptions options = {}) {
        options.password = kPassword;
        return StartBox(folder, options);
    }
    // A copy of "box" in `folder`, changed by `change`, served by a new box.
    BoxSimulator& ChangedBox(const std::string& folder, const std::function<void()>& change,
                             const BoxSimOptions& options = {}) {
        fs::remove_all(folder);
        fs::copy("box", folder, fs::copy_options::recursive);
        if (change) {
            change();
        }
        return Box(folder, options);
    }
    static std::string ContentOf(const std::string& name) {
        for (const auto& [n, bytes] : Contents()) {
            if (n == name) {
                return bytes;
            }
        }
        return "";
    }

    ScopedEnvironment password{"VELQO_PASSWORD", kPassword};
};

TEST_F(CliWholeBoxTest, JsonDocuments) {
    BoxSimulator& box = Box("box");
    const std::string backup = Backup(box).string();
    const std::string absolute = (rig.Path() / "pc" / backup).lexically_normal().string();
    fs::copy("pc/" + backup, "pc/broken", fs::copy_options::recursive);
    WriteFile("pc/broken/abc.txt", "abd");
    WriteFile("pc/abc.txt", "abc");
    const std::string login = "the box at 127.0.0.1:" + std::to_string(box.Port()) +
                              " refused the password (from --password) (the box said: Wrong "
                              "password)";
    struct Case {
        const char* command;
        std::vector<std::string> args;
        int exit;
        std::vector<std::pair<const char*, Json>> fields;  // JSON pointer, value
        const char* environment = kPassword;               // VELQO_PASSWORD
    };
    const std::vector<Case> cases = {
        {"list",
         {"list"},
         0,
         {{"/files/1", {{"group", "Config"}, {"name", "two words.txt"}, {"type", 1}}}}},
        {"get",
         {"get", "image.bin", "nothere"},
         1,
         {{"/files/0",
           {{"name", "image.bin"},
            {"result", "saved"},
            {"size", 70000},
            {"verified", nullptr},
            {"message", nullptr}}},
          {"/files/1/result", "failed"},
          {"/files/1/message", "not on the box's file list"}}},
        {"put",
         {"put", "abc.txt", "nothere.txt"},
         1,
         {{"/files/0/name", "abc.txt"},
          {"/files/0/result", "sent"},
          {"/files/1/name", "nothere.txt"},
          {"/files/1/result", "failed"}}},
        {"put",
         {"put", "--verify", "--", "abc.txt"},
         0,
         {{"/files/0/result", "sent"},
          {"/files/0/size", 3},
          {"/files/0/verified", true},
          {"/files/0/message", "verified, the box holds the same 3 byte(s)"}}},
        {"compare",
         {"compare", backup},
         0,
         {{"/folder", absolute},
          {"/same", true},
          {"/files/0",
           {{"group", "Config"},
            {"name", "settings.txt"},
            {"type", 1},
            {"result", "same"},
            {"message", nullptr}}}}},
        {"compare",
         {"compare", "broken"},
         1,
         {{"/error", "the backup in broken is damaged (abc.txt); nothing was compared"},
          {"/files/0",
           {{"group", "Known"},
            {"name", "abc.txt"},
            {"type", 0},
            {"result", "failed"},
            {"message", "its checksum does not match"}}}}},
        {"restore",
         {"restore", "--dry-run", "--changed-only", backup},
         0,
         {{"/dry_run", true}, {"/changed", false}, {"/files/4/result", "unchanged"}}},
        {"restore",
         {"restore", "--verify", backup, "abc.txt"},
         0,
         {{"/dry_run", false},
          {"/changed", true},
          {"/files/0",
           {{"group", "Known"},
            {"name", "abc.txt"},
            {"type", 0},
            {"result", "sent"},
            {"size", 3},
            {"verified", true},
            {"message", "verified, the box holds the same 3 byte(s)"}}}}},
        {"list", {"--password", "1111", "list"}, 3, {{"/error", login}, {"/files", Json::array()}}},
        {"list", {"list"}, 2, {{"/error", "VELQO_PASSWORD needs 1 to 4 digits"}}, "12345"},
        {nullptr, {"frob"}, 2, {{"/error", "unknown command 'frob'"}, {"/files", Json::array()}}},
        {"backup",
         {"backup", "--into", "backups", "--keep", "1"},
         0,
         {{"/complete", true},
          {"/removed", Json::array({absolute})},
          {"/files/4",
           {{"group", "Known"},
            {"name", "abc.txt"},
            {"type", 0},
            {"size", 3},
            {"sha256", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
            {"result", "saved"},
            {"message", nullptr}}}}},
    };
    for (const Case& c : cases) {
        password.Set(c.environment);
        std::vector<std::string> args = c.args;
        args.insert(args.begin(), "--json");
        const ProgramResult r = Cli(box, args);
        SCOPED_TRACE(args[1] + " " + args.back() + "\n" + r.err);
        EXPECT_EQ(r.status, c.exit);
        // Exactly one document: anything after it would not parse.
        const Json d = Json::parse(r.out, nullptr, false);
        ASSERT_TRUE(d.is_object()) << r.out;
        EXPECT_EQ(d["format"], 1);
        EXPECT_EQ(d["command"], c.command != nullptr ? Json(c.command) : Json(nullptr));
        EXPECT_EQ(d["exit"], c.exit);
        EXPECT_EQ(d["ok"], c.exit == 0);
        for (const auto& [pointer, value] : c.fields) {
            EXPECT_EQ(d.value(Json::json_pointer(pointer), Json()), value) << pointer;
        }
    }
    EXPECT_FALSE(fs::exists("pc/" + backup));  // removed by --keep 1
}

TEST_F(CliWholeBoxTest, CompareNamesEachFileOnce) {
    const std::string backup = Backup(Box("box")).string();
    const std::string same =
        "same settings.txt\nsame image.bin\nsame two words.txt\nsame empty.log\nsame abc.txt\n";
    struct Case {
        const char* what;
        std::function<void()> change;  // of the box's folder "b"
        BoxSimOptions options;
        std::vector<std::string> names;
        std::string out;
        int exit;
    };
    BoxSimOptions refusing;
    refusing.refuseDump = "busy";
    const std::vector<Case> cases = {
        {"nothing changed", nullptr, {}, {}, same, 0},
        {"a changed file",
         [] { WriteFile("b/settings.txt", "a=1\r\nb=3\r\n"); },
         {},
         {},
         "differs settings.txt\nsame image.bin\nsame two words.txt\nsame empty.log\n"
         "same abc.txt\n",
         1},
        {"listed differently",
         [] {
             WriteFile("b/manifest.txt",
                       "Config settings.txt 1\nFirmware image.bin 2\n"
                       "Config \"two words.txt\" 1\nLogs empty.log 3\n"
                       "New new.txt 1\n");
             WriteFile("b/new.txt", "new");
         },
         {},
         {},
         "same settings.txt\nsame image.bin\nsame two words.txt\nsame empty.log\n"
         "missing-on-box abc.txt\nonly-on-box new.txt\n",
         1},
        {"named files only",
         [] { WriteFile("b/settings.txt", "x"); },
         {},
         {"abc.txt", "empty.log"},
         "same empty.log\nsame abc.txt\n",
         0},
        {"the box refuses to send", nullptr, refusing, {"abc.txt"}, "failed abc.txt\n", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BoxSimulator& box = ChangedBox("b", c.change, c.options);
        std::vector<std::string> args = {"compare", backup};
        args.insert(args.end(), c.names.begin(), c.names.end());
        const ProgramResult r = Cli(box, args);
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(r.status, c.exit) << r.err;
        EXPECT_EQ(box.Stats().uploadsStored, 0);
        box.Stop();
    }
}

TEST_F(CliWholeBoxTest, ChangedOnlySendsWhatDiffersAndASecondRunNothing) {
    const std::string backup = Backup(Box("box")).string();
    struct Case {
        const char* what;
        std::vector<std::string> changed;  // box files rewritten before the run
        std::vector<std::string> args;     // after "restore --changed-only"
        std::string out;
        int uploads;
    };
    const std::vector<Case> cases = {
        {"nothing differs", {}, {backup}, "", 0},
        {"two files differ", {"settings.txt", "abc.txt"}, {backup}, "", 2},
        {"verified", {"image.bin"}, {"--verify", backup}, "", 1},
        {"named files only", {"settings.txt", "abc.txt"}, {backup, "abc.txt"}, "", 1},
        {"dry run",
         {"settings.txt", "empty.log"},
         {"--dry-run", backup},
         "would send settings.txt (10 byte(s))\nwould send empty.log (0 byte(s))\n",
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BoxSimulator& box = ChangedBox("b", [&] {
            for (const std::string& name : c.changed) {
                WriteFile("b/" + name, "changed");
            }
        });
        std::vector<std::string> args = {"restore", "--changed-only"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const ProgramResult first = Cli(box, args);
        EXPECT_EQ(first.status, 0) << first.err;
        EXPECT_EQ(first.out, c.out);
        WaitIdle(box);
        EXPECT_EQ(box.Stats().uploadsStored, c.uploads);
        if (c.uploads == 0) {
            box.Stop();
            continue;
        }
        // Every changed file is as in the backup again, unless other names were given.
        for (const std::string& name : c.changed) {
            const bool asked = c.args.back() == backup || c.args.back() == name;
            EXPECT_EQ(ReadFile("b/" + name) == ContentOf(name), asked) << name;
        }
        const ProgramResult second = Cli(box, args);
        EXPECT_EQ(second.status, 0) << second.err;
        WaitIdle(box);
        EXPECT_EQ(box.Stats().uploadsStored, c.uploads) << "the second run sent something";
        box.Stop();
    }
}

// A dry run that cannot read the box's copies cannot tell what would be
// sent: it fails, and says why for each file.
TEST_F(CliWholeBoxTest, ADryRunThatCannotCompareFails) {
    const std::string backup = Backup(Box("box")).string();
    BoxSimOptions refusing;
    refusing.refuseDump = "busy";
    BoxSimulator& box = ChangedBox("r", nullptr, refusing);
    const ProgramResult r = Cli(box, {"--json", "restore", "--dry-run", "--changed-only", backup});
    EXPECT_EQ(r.status, 1) << r.err;
    const Json d = Json::parse(r.out, nullptr, false);
    ASSERT_TRUE(d.is_object()) << r.out;
    EXPECT_EQ(d["ok"], false);
    EXPECT_EQ(d["changed"], false);
    ASSERT_FALSE(d["files"].empty());
    for (const Json& file : d["files"]) {
        EXPECT_EQ(file["result"], "failed") << file;
        EXPECT_EQ(file["message"],
                  "not compared with the box's copy: the box's copy could not be read")
            << file;
    }
    WaitIdle(box);
    EXPECT_EQ(box.Stats().uploadsStored, 0);
}
