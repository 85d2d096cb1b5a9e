#include "BoxSimFixture.h"

#include "tests/support/TempDir.h"

BoxSimFixture::BoxSimFixture() : folder_(rig_.Path() / BoxRig::kBoxFolder) {
    WriteManifest("");
}

void BoxSimFixture::WriteFile(const std::string& name, const std::string& content) const {
    ::WriteFile((folder_ / name).string(), content);
}

std::string BoxSimFixture::ReadFile(const std::string& name) const {
    return ::ReadFile((folder_ / name).string());
}

bool BoxSimFixture::Exists(const std::string& name) const {
    return ::Exists((folder_ / name).string());
}

BoxSimOptions BoxSimFixture::DefaultOptions() const {
    BoxSimOptions o;
    o.folder = folder_.string();
    o.port = 0;
    o.recordReceived = true;
    return o;
}

BoxSimulator& BoxSimFixture::StartBox(const BoxSimOptions& options) {
    box_ = &rig_.StartBox(options);
    return *box_;
}

std::unique_ptr<TestClient> BoxSimFixture::Connect() {
    auto client = std::make_unique<TestClient>();
    EXPECT_TRUE(client->Connect(box_->Port()));
    return client;
}

std::unique_ptr<TestClient> BoxSimFixture::ConnectAndLogin() {
    auto client = Connect();
    EXPECT_TRUE(client->Login(box_->Options().password.c_str()));
    return client;
}
