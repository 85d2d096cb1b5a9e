#include "cli/CliTransfer.h"

#include <filesystem>
#include <system_error>

#include "base/NearestWord.h"
#include "base/TextEscape.h"
#include "box/BoxSession.h"
#include "box/PlainFileName.h"
#include "box/TransferText.h"
#include "catalog/FileCatalog.h"
#include "cli/CliClient.h"
#include "cli/CliContext.h"
#include "cli/CliOutput.h"
#include "cli/TerminalLog.h"

namespace fs = std::filesystem;

CliTransfer::CliTransfer(const CliContext& context) : context_(context) {}

int CliTransfer::Check() {
    const CliOptions& options = context_.options;
    if (options.command != CliOptions::Command::kPut) {
        return CliClient::kExitOk;
    }
    // Its result keeps its place among the others.
    for (const std::string& name : options.names) {
        const fs::path path = context_.InDirectory(name);
        std::error_code ec;
        const fs::file_status status = fs::status(path, ec);
        if (!fs::exists(status)) {
            if (status.type() == fs::file_type::not_found || !ec) {
                ec = std::make_error_code(std::errc::no_such_file_or_directory);
            }
            FileReport file{name};
            file.message = "cannot read " + QuoteForMessage(path.string()) + ": " + ec.message();
            context_.output.Note("%s: %s: %s", QuoteForMessage(name).c_str(),
                                 FileResultName(file.result), file.message.c_str());
            unreadable_.push_back(file);
        }
    }
    if (unreadable_.size() < options.names.size()) {
        if (options.verify) {
            verifier_ = std::make_unique<ReadBackVerifier>(context_.directory);
        }
        return CliClient::kExitOk;
    }
    for (const FileReport& file : unreadable_) {
        context_.output.File(file);
    }
    return CliClient::kExitFailed;
}

int CliTransfer::Run(const CliBoxLink* box) {
    const std::vector<std::string>& names = context_.options.names;
    if (context_.options.command == CliOptions::Command::kPut) {
        interruption_ = std::make_unique<CliInterruption>(
            CliInterruption::State{CliOptions::Command::kPut, 0, static_cast<int>(names.size()), "",
                                   "", names},
            TerminalLog::ProgressShown());
    }
    bool failed = false;
    for (size_t i = 0; i < names.size(); ++i) {
        if (interruption_) {
            interruption_->Starting(names[i]);
        }
        const bool before = failed;
        const bool goOn = Transfer(*box, names[i], &failed);
        if (interruption_) {
            interruption_->Done(failed == before);
        }
        if (!goOn) {
            // The names not tried, each with its own result.
            for (size_t j = i + 1; j < names.size(); ++j) {
                FileReport file{names[j]};
                file.message = "not tried, " + SessionEndText(box->session.LastOutcome());
                context_.output.File(file);
            }
            break;
        }
    }
    interruption_.reset();
    return failed ? CliClient::kExitFailed : CliClient::kExitOk;
}

bool CliTransfer::IsUploadable(const std::string& name, FileReport* file) {
    std::error_code ec;
    const fs::file_status status = fs::status(context_.InDirectory(name), ec);
    // A missing file is the session's to report; it sends nothing for it.
    if (!fs::exists(status) || fs::is_regular_file(status)) {
        return true;
    }
    file->result = FileResult::kFailed;
    file->message = fs::is_directory(status) ? "a directory, not a regular file"
                                             : "a special file, not a regular file";
    context_.output.Note("%s: %s: %s", QuoteForMessage(name).c_str(), FileResultName(file->result),
                         file->message.c_str());
    return false;
}

bool CliTransfer::Transfer(const CliBoxLink& box, const std::string& name, bool* failed) {
    CliOutput& output = context_.output;
    BoxSession& session = box.session;
    for (const FileReport& unreadable : unreadable_) {
        if (unreadable.name == name) {
            *failed = true;  // said before connecting
            output.File(unreadable);
            return true;
        }
    }
    TerminalLog::FileStarting(name, 0, 0);
    FileReport file{name};
    const auto done = [&](bool ok) {
        *failed = *failed || !ok;
        output.File(file);
    };
    if (box.catalog.FindFileType(name.c_str()) == -1) {
        std::vector<std::string> onBox;
        for (const wire::ListRecord& record : box.listed) {
            if (!record.nameFillsField) {  // such a name cannot be asked for
                onBox.emplace_back(record.name);
            }
        }
        const std::string nearest = NearestWord(name, onBox);
        file.message = "not on the box's file list";
        if (!nearest.empty()) {
            file.message += "; did you mean '" + QuoteForMessage(nearest) + "'?";
        }
        output.Note("%s: %s", QuoteForMessage(name).c_str(), file.message.c_str());
        done(false);
        return true;
    }
    const bool get = context_.options.command == CliOptions::Command::kGet;
    if (!get && !IsUploadable(name, &file)) {
        done(false);
        return true;
    }
    const std::string& directory = context_.options.directory;
    if (get) {
        session.DumpInto(name.c_str(), directory,
                         context_.options.noBackup ? ReplacedFile::kDiscard : ReplacedFile::kKeep);
    } else {
        session.UploadFrom(name.c_str(), directory);
    }
    const TransferOutcome outcome = session.LastOutcome();
    bool ok = outcome == TransferOutcome::kDone;
    if (outcome == TransferOutcome::kRefused) {
        output.Note("%s: refused by the box: \"%s\"", QuoteForMessage(name).c_str(),
                    QuoteForMessage(session.LastRefusal()).c_str());
    } else if (outcome == TransferOutcome::kBadName) {
        output.Note("%s: %s", QuoteForMessage(name).c_str(),
                    UnusableNameText(name.c_str()).c_str());
    }
    if (!ok) {
        file.result =
            outcome == TransferOutcome::kRefused ? FileResult::kRefused : FileResult::kFailed;
        file.message = outcome == TransferOutcome::kBadName ? UnusableNameText(name.c_str())
                                                            : TransferFailureText(outcome, get);
    } else {
        file.result = get ? FileResult::kSaved : FileResult::kSent;
        std::error_code ec;
        const auto size = fs::file_size(context_.InDirectory(name), ec);
        file.size = ec ? -1 : static_cast<int64_t>(size);
        if (!get && verifier_ != nullptr) {
            file.verified = verifier_->Verify(
                session, name, fs::absolute(context_.InDirectory(name)), &file.message);
            ok = file.verified == Verified::kYes;
            if (ok) {
                output.Info("%s: %s", QuoteForMessage(name).c_str(), file.message.c_str());
            } else {
                output.Note("%s: %s", QuoteForMessage(name).c_str(), file.message.c_str());
            }
        }
    }
    done(ok);
    if (!ok && session.LinkLost()) {
        output.Note("%s; stopping", SessionEndText(session.LastOutcome()).c_str());
        return false;
    }
    return true;
}
