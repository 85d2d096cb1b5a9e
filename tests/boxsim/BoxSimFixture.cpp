#include "BoxSimFixture.h"

#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

void BoxSimFixture::SetUp() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ =
        fs::current_path() / (std::string("box_") + info->test_suite_name() + "_" + info->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    WriteManifest("");
}

void BoxSimFixture::TearDown() {
    if (box_) {
        box_->Stop();
    }
    // A failed test leaves its folder for a look.
    if (!HasFailure()) {
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }
}

void BoxSimFixture::WriteFile(const std::string& name, const std::string& content) const {
    std::ofstream out(folder_ / name, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

std::string BoxSimFixture::ReadFile(const std::string& name) const {
    std::ifstream in(folder_ / name, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool BoxSimFixture::Exists(const std::string& name) const {
    return fs::exists(folder_ / name);
}

BoxSimOptions BoxSimFixture::DefaultOptions() const {
    BoxSimOptions o;
    o.folder = folder_.string();
    o.port = 0;
    o.recordReceived = true;
    return o;
}

BoxSimulator& BoxSimFixture::StartBox(const BoxSimOptions& options) {
    box_ = std::make_unique<BoxSimulator>(options);
    std::string error;
    EXPECT_TRUE(box_->Start(&error)) << error;
    EXPECT_NE(box_->Port(), 0);
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
