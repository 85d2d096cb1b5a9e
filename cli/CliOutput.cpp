#include "cli/CliOutput.h"

#include <cstdarg>
#include <vector>

#include <nlohmann/json.hpp>

#include "base/TextEscape.h"
#include "cli/TerminalLog.h"

#ifdef _WIN32
#include <io.h>
#define VELQO_ISATTY(fd) _isatty(fd)
#define VELQO_FILENO(f) _fileno(f)
#else
#include <unistd.h>
#define VELQO_ISATTY(fd) isatty(fd)
#define VELQO_FILENO(f) fileno(f)
#endif

namespace {

using Json = nlohmann::ordered_json;
using Command = CliOptions::Command;

std::string Formatted(const char* format, va_list args) {
    va_list again;
    va_copy(again, args);
    const int n = std::vsnprintf(nullptr, 0, format, args);
    std::vector<char> text(n > 0 ? static_cast<size_t>(n) + 1 : 1, '\0');
    if (n > 0) {
        std::vsnprintf(text.data(), text.size(), format, again);
    }
    va_end(again);
    return text.data();
}

// Nothing to say is null, not an empty text.
Json TextOrNull(const std::string& text) {
    return text.empty() ? Json(nullptr) : Json(text);
}

Json VerifiedOrNull(Verified verified) {
    return verified == Verified::kUnknown ? Json(nullptr) : Json(verified == Verified::kYes);
}

}  // namespace

void CliOutput::PutName(Json& entry, const std::string& key, const std::string& value) {
    const std::string readable =
        Json::parse(Json(value).dump(-1, ' ', false, Json::error_handler_t::replace))
            .get<std::string>();
    entry[key] = readable;
    if (readable != value) {
        entry[key + "_hex"] = HexOf(value);
    }
}

Json CliOutput::SizeOrNull(int64_t size) {
    return size < 0 ? Json(nullptr) : Json(size);
}

Json CliOutput::NamedEntry(const std::string& name) {
    Json entry = Json::object();
    CliOutput::PutName(entry, "name", name);
    return entry;
}

namespace {

// A file's entry as the command's document holds it.
Json FileEntry(Command command, const FileReport& file) {
    Json entry = Json::object();
    // The whole-box commands know each file's group and type from the list
    // or the backup; get and put only its name.
    const bool wholeBox =
        command == Command::kBackup || command == Command::kCompare || command == Command::kRestore;
    if (wholeBox) {
        CliOutput::PutName(entry, "group", file.group);
    }
    CliOutput::PutName(entry, "name", file.name);
    if (wholeBox) {
        entry["type"] = file.type;
    }
    const char* result = FileResultName(file.result);
    switch (command) {
        case Command::kBackup:
            entry["size"] = CliOutput::SizeOrNull(file.size);
            entry["sha256"] = TextOrNull(file.sha256);
            break;
        case Command::kCompare:
            break;
        default:
            entry["result"] = result;
            entry["size"] = CliOutput::SizeOrNull(file.size);
            entry["verified"] = VerifiedOrNull(file.verified);
            entry["message"] = TextOrNull(file.message);
            return entry;
    }
    entry["result"] = result;
    entry["message"] = TextOrNull(file.message);
    return entry;
}

}  // namespace

CliOutput::CliOutput(FILE* out, FILE* err, Command command, bool json, int verbosity)
    : out_(out),
      err_(err),
      command_(command),
      verbosity_(verbosity),
      oneTerminal_(VELQO_ISATTY(VELQO_FILENO(out)) != 0 && VELQO_ISATTY(VELQO_FILENO(err)) != 0) {
    if (!json) {
        return;
    }
    const char* name = CommandName(command);
    document_ = std::make_unique<Json>(Json::object());
    Json& d = *document_;
    // The keys every document has, whatever its command and however it ended.
    d["format"] = kFormat;
    d["command"] = name != nullptr ? Json(name) : Json(nullptr);
    d["ok"] = false;
    d["exit"] = nullptr;
    d["error"] = nullptr;
    d["files"] = Json::array();
    // Every field of the command from the start, so that a command that ends
    // early still gives a document of its own shape.
    if (command == Command::kBackup) {
        d["folder"] = nullptr;
        d["complete"] = false;
        d["removed"] = Json::array();
        d["kept"] = Json::array();
        d["not_removed"] = Json::array();
        d["changes"] = nullptr;  // --report
        d["git"] = nullptr;      // --git
    } else if (command == Command::kCompare) {
        d["folder"] = nullptr;
        d["same"] = false;
    } else if (command == Command::kRestore) {
        d["folder"] = nullptr;
        d["dry_run"] = false;
        d["changed"] = false;
    } else if (command == Command::kDiff) {
        d["same"] = false;
    } else if (command == Command::kUpdate) {
        d["dry_run"] = false;
        d["steps"] = Json::array();
        d["backup_before"] = nullptr;
        d["backup_after"] = nullptr;
        d["box_said"] = Json::array();
        d["changes"] = Json::array();
    } else if (command == Command::kHistory) {
        d["backups"] = Json::array();
    } else if (command == Command::kFind) {
        d["ranges"] = Json::array();
        d["boxes"] = Json::array();
    } else if (command == Command::kBoxes) {
        d["store"] = nullptr;
        d["boxes"] = Json::array();
    } else if (command == Command::kBackups) {
        d["store"] = nullptr;
        d["box"] = nullptr;  // null with --all
        d["latest"] = nullptr;
        d["backups"] = Json::array();
    }
}

CliOutput::~CliOutput() = default;

void CliOutput::Line(const char* format, ...) {
    if (IsJson()) {
        return;
    }
    va_list args;
    va_start(args, format);
    std::vfprintf(out_, format, args);
    va_end(args);
}

void CliOutput::Message(int least, const char* format, va_list args) {
    if (verbosity_ < least) {
        return;
    }
    const std::string text = Formatted(format, args);
    TerminalLog::ClearLine(err_);
    std::fprintf(err_, "velqo-cli: %s\n", text.c_str());
    std::fflush(err_);
}

void CliOutput::Note(const char* format, ...) {
    va_list args;
    va_start(args, format);
    Message(CliOptions::kQuiet, format, args);
    va_end(args);
}

void CliOutput::Info(const char* format, ...) {
    va_list args;
    va_start(args, format);
    Message(CliOptions::kNormal, format, args);
    va_end(args);
}

void CliOutput::Detail(const char* format, ...) {
    va_list args;
    va_start(args, format);
    Message(CliOptions::kVerbose, format, args);
    va_end(args);
}

int CliOutput::Error(int exit, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::string text = Formatted(format, args);
    va_end(args);
    TerminalLog::ClearLine(err_);
    std::fprintf(err_, "velqo-cli: %s\n", text.c_str());
    std::fflush(err_);
    if (IsJson()) {
        (*document_)["error"] = text;
    }
    return exit;
}

void CliOutput::Listed(const std::string& group, const std::string& name, int32_t type) {
    if (IsJson()) {
        Json entry = Json::object();
        CliOutput::PutName(entry, "group", group);
        CliOutput::PutName(entry, "name", name);
        entry["type"] = type;
        (*document_)["files"].push_back(std::move(entry));
    }
}

void CliOutput::File(const FileReport& file) {
    if (verbosity_ >= CliOptions::kVerbose) {
        std::string size;
        if (file.size >= 0) {
            size = " (" + std::to_string(file.size) + " byte(s))";
        }
        Detail("%s: %s%s%s%s", QuoteForMessage(file.name).c_str(), FileResultName(file.result),
               size.c_str(), file.message.empty() ? "" : ": ", file.message.c_str());
    }
    if (IsJson()) {
        (*document_)["files"].push_back(FileEntry(command_, file));
    }
}

void CliOutput::Folder(const std::filesystem::path& folder) {
    if (IsJson()) {
        (*document_)["folder"] = folder.string();
    }
}

void CliOutput::Flag(const char* key, bool value) {
    if (IsJson()) {
        (*document_)[key] = value;
    }
}

void CliOutput::Value(const char* key, const Json& value) {
    if (IsJson()) {
        (*document_)[key] = value;
    }
}

void CliOutput::Removed(const std::filesystem::path& folder) {
    if (IsJson()) {
        (*document_)["removed"].push_back(folder.string());
    }
}

void CliOutput::NotRemoved(const char* key, const std::filesystem::path& folder,
                           const std::string& why) {
    if (IsJson()) {
        (*document_)[key].push_back({{"folder", folder.string()}, {"why", why}});
    }
}

void CliOutput::Text(const char* key, const std::string& value) {
    if (IsJson()) {
        (*document_)[key] = TextOrNull(value);
    }
}

void CliOutput::Stored(const StoredBackup& backup) {
    if (IsJson()) {
        const BackupState& state = backup.state;
        Json entry = {{"folder", backup.folder.string()},
                      {"taken", backup.name.TakenText()},
                      {"sequence", backup.name.sequence}};
        CliOutput::PutName(entry, "host", backup.name.box.Name());
        entry.update({{"port", backup.name.box.port},
                      {"files", state.fileCount < 0 ? Json(nullptr) : Json(state.fileCount)},
                      {"complete", state.Complete()},
                      {"state", state.Text()}});
        (*document_)["backups"].push_back(entry);
    }
}

int CliOutput::Finish(int exit) {
    if (IsJson()) {
        Json& d = *document_;
        d["ok"] = exit == 0;
        d["exit"] = exit;
        // Names are made readable where they are put; other texts from the
        // box (an error quoting one) get U+FFFD rather than end the document.
        const std::string text = d.dump(-1, ' ', false, Json::error_handler_t::replace);
        std::fprintf(out_, "%s\n", text.c_str());
    }
    std::fflush(out_);
    return exit;
}
