#pragma once
// A fresh folder per test inside the test's working directory, a manifest
// in it, and a substitute box on 127.0.0.1 with a free port.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "TestClient.h"
#include "boxsim/BoxSimulator.h"
#include "tests/support/RepeatableBytes.h"

class BoxSimFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes a file into the served folder.
    void WriteFile(const std::string& name, const std::string& content) const;
    std::string ReadFile(const std::string& name) const;
    bool Exists(const std::string& name) const;
    void WriteManifest(const std::string& text) const { WriteFile("manifest.txt", text); }

    // Options with the folder and a free port filled in.
    BoxSimOptions DefaultOptions() const;
    // Starts the box (failing the test when it cannot) with these options.
    BoxSimulator& StartBox(const BoxSimOptions& options);
    BoxSimulator& StartBox() { return StartBox(DefaultOptions()); }
    // A client connected to the box.
    std::unique_ptr<TestClient> Connect();
    std::unique_ptr<TestClient> ConnectAndLogin();

    std::filesystem::path folder_;
    std::unique_ptr<BoxSimulator> box_;
};
