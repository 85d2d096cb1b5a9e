#pragma once
// The box suites' fixture: the shared rig's folder and box, a manifest in the
// served folder, and raw clients connected to the box.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "TestClient.h"
#include "boxsim/BoxSimulator.h"
#include "tests/support/BoxRig.h"
#include "tests/support/RepeatableBytes.h"

class BoxSimFixture : public ::testing::Test {
protected:
    BoxSimFixture();

    // Whole files in the served folder.
    void WriteFile(const std::string& name, const std::string& content) const;
    std::string ReadFile(const std::string& name) const;
    bool Exists(const std::string& name) const;
    void WriteManifest(const std::string& text) const { WriteFile("manifest.txt", text); }

    // Options that record what the box receives, with the folder and a free
    // port filled in.
    BoxSimOptions DefaultOptions() const;
    // Starts a box of the rig (failing the test when it cannot) with these options.
    BoxSimulator& StartBox(const BoxSimOptions& options);
    BoxSimulator& StartBox() { return StartBox(DefaultOptions()); }
    // A client connected to the box.
    std::unique_ptr<TestClient> Connect();
    std::unique_ptr<TestClient> ConnectAndLogin();

    BoxRig rig_;
    const std::filesystem::path folder_;
    BoxSimulator* box_ = nullptr;  // not owned: the rig's, the last one started
};
