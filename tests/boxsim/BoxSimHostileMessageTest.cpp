// velqo-boxsim's messages that quote a text from a file or from the command
// line, run over the table of hostile texts: each shows it only escaped.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "boxsim/BoxSimCommandLine.h"
#include "boxsim/BoxSimulator.h"
#include "tests/support/HostileText.h"
#include "tests/support/ProgramRunner.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

namespace {

std::string ParseError(const std::vector<std::string>& args) {
    std::vector<const char*> argv = {"velqo-boxsim"};
    for (const std::string& a : args) {
        argv.push_back(a.c_str());
    }
    BoxSimCommandLine command;
    std::string error;
    EXPECT_FALSE(
        ParseBoxSimCommandLine(static_cast<int>(argv.size()), argv.data(), &command, &error));
    return error;
}

std::string StartError(const std::function<void(BoxSimOptions&)>& set) {
    BoxSimOptions options;
    options.port = 0;
    set(options);
    BoxSimulator box(options);
    std::string error;
    EXPECT_FALSE(box.Start(&error));
    return error;
}

}  // namespace

TEST(BoxSimHostileMessage, EveryMessageShowsItsTextEscaped) {
    TempDir dir;
    fs::create_directories("served");
    using Message = std::function<std::string(const std::string&)>;
    const struct {
        const char* message;
        Message error;
        bool path = false;  // the text is a file's path
    } messages[] = {
        {"unknown option", [](const std::string& t) { return ParseError({"--" + t}); }},
        {"not a number",
         [](const std::string& t) {
             return ParseError({"--port", t});
         }},
        {"no such folder",
         [](const std::string& t) { return StartError([&](BoxSimOptions& o) { o.folder = t; }); }},
        {"manifest unreadable",
         [](const std::string& t) {
             return StartError([&](BoxSimOptions& o) {
                 o.folder = "served";
                 o.manifestName = t;
             });
         },
         true},
    };
    for (const HostileText& hostile : HostileTexts()) {
        for (const auto& message : messages) {
            SCOPED_TRACE(std::string(message.message) + ": " + hostile.label);
#ifdef _WIN32
            // A backslash in a path is a folder separator there, shown as '/'.
            if (message.path && hostile.text.find('\\') != std::string::npos) {
                continue;
            }
#endif
            const std::string error = message.error(hostile.text);
            EXPECT_EQ(UnsafeShowing(error, hostile), "") << error;
        }
    }
}

#ifndef _WIN32
// A file name of the folder --make-demo refuses to write over, from the
// program itself (Windows names hold no control characters).
TEST(BoxSimHostileMessage, MakeDemoShowsAFileNameItFindsEscaped) {
    TempDir dir;
    const HostileText& hostile = HostileTexts().front();
    fs::create_directories("held");
    std::ofstream("held/" + hostile.text) << "x";
    const ProgramResult r = RunProgram(SiblingProgram("velqo-boxsim"), {"--make-demo", "held"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(UnsafeShowing(r.out + r.err, hostile), "") << r.err;
}
#endif
