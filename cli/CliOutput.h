#pragma once
// What one velqo-cli command tells. For a person: result lines on stdout and
// messages on stderr. With --json the result lines give way to one JSON
// document on stdout, made when the command ends from the same per-file
// results; messages stay on stderr.
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include <nlohmann/json_fwd.hpp>

#include "backup/BackupStore.h"
#include "backup/FileReport.h"
#include "cli/CliOptions.h"

#if defined(__GNUC__) && !defined(_WIN32)
#define VELQO_PRINTF(f, a) __attribute__((format(printf, f, a)))
#else
#define VELQO_PRINTF(f, a)
#endif

class CliOutput {
public:
    // The documents' format, raised whenever a key changes meaning or goes;
    // docs/json/velqo-cli.schema.json describes each format.
    static constexpr int kFormat = 1;

    // `json`: a document instead of result lines. `verbosity`: which
    // messages reach stderr (CliOptions::kQuiet...).
    CliOutput(FILE* out, FILE* err, CliOptions::Command command, bool json,
              int verbosity = CliOptions::kNormal);
    ~CliOutput();
    CliOutput(const CliOutput&) = delete;
    CliOutput& operator=(const CliOutput&) = delete;

    // A document's entry for a name from the box or a backup: `name` readable
    // (U+FFFD for bytes that are not UTF-8), and `name_hex`, the exact bytes,
    // when it is not the exact name.
    static nlohmann::ordered_json NamedEntry(const std::string& name);
    // A size, or null where it is not known (negative).
    static nlohmann::ordered_json SizeOrNull(int64_t size);
    // A name from outside may not be UTF-8: `key` holds it readable, with
    // U+FFFD for what is not, and then `key`_hex holds its exact bytes.
    static void PutName(nlohmann::ordered_json& entry, const std::string& key,
                        const std::string& value);

    bool IsJson() const { return document_ != nullptr; }
    // stdout and stderr are one terminal: what a Line says need not be said again.
    bool OneTerminal() const { return oneTerminal_; }
    // A result line on stdout; with --json the document holds the result instead.
    void Line(const char* format, ...) VELQO_PRINTF(2, 3);
    // A problem on stderr, after "velqo-cli: ", even with --quiet.
    void Note(const char* format, ...) VELQO_PRINTF(2, 3);
    // What went well, a summary: not with --quiet.
    void Info(const char* format, ...) VELQO_PRINTF(2, 3);
    // More: only with --verbose.
    void Detail(const char* format, ...) VELQO_PRINTF(2, 3);
    // Ends the command early: the message as a Note and as the document's
    // "error". Returns `exit`.
    int Error(int exit, const char* format, ...) VELQO_PRINTF(3, 4);

    // The document's parts; without --json they do nothing.
    void Listed(const std::string& group, const std::string& name, int32_t type);
    // One file's result, in the fields of the command; with --verbose also
    // a line on stderr.
    void File(const FileReport& file);
    void Folder(const std::filesystem::path& folder);
    // "complete", "same", "dry_run", "changed".
    void Flag(const char* key, bool value);
    // An old backup --keep chose that is not gone (`key` "not_removed"), or
    // whose folder stays for files it did not make ("kept"), and why.
    void NotRemoved(const char* key, const std::filesystem::path& folder, const std::string& why);
    void Removed(const std::filesystem::path& folder);
    // "store", "box", "latest": a text, or null when empty.
    void Text(const char* key, const std::string& value);
    // backups: one backup of the store.
    void Stored(const StoredBackup& backup);
    // Any other part of the document: "backups", "changes", "git"...
    void Value(const char* key, const nlohmann::ordered_json& value);

    // Prints the document with --json; returns `exit`.
    int Finish(int exit);

private:
    void Message(int least, const char* format, va_list args);

    FILE* out_;  // not owned
    FILE* err_;  // not owned
    CliOptions::Command command_;
    int verbosity_;
    bool oneTerminal_ = false;
    std::unique_ptr<nlohmann::ordered_json> document_;  // null without --json
};
