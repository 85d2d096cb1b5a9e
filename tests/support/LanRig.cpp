#include "tests/support/LanRig.h"

#include <system_error>

#include "box/BoxDefaults.h"
#include "boxsim/DemoContent.h"
#include "catalog/Manifest.h"

namespace {

constexpr int kHolderWaitMs = 5000;

}  // namespace

LanRig::LanRig(std::filesystem::path boxFolder) : boxFolder_(std::move(boxFolder)) {
    std::error_code ec;
    if (!std::filesystem::exists(boxFolder_ / Manifest::kFileName, ec)) {
        std::string ignored;
        MakeDemoFolder(boxFolder_.string(), Manifest::kFileName, &ignored);
    }
}

bool LanRig::AddBox(const std::string& address, BoxSimOptions options, std::string* error) {
    options.folder = boxFolder_.string();
    options.listenAddress = address;
    options.port = port_;
    boxes_.push_back(std::make_unique<BoxSimulator>(options));
    if (!boxes_.back()->Start(error)) {
        boxes_.pop_back();
        return false;
    }
    port_ = boxes_.back()->Port();
    return true;
}

bool LanRig::AddListener(const std::string& address, TestListener::Kind kind, std::string* error) {
    listeners_.push_back(std::make_unique<TestListener>(kind));
    if (!listeners_.back()->Start(address, port_, error)) {
        listeners_.pop_back();
        return false;
    }
    port_ = listeners_.back()->Port();
    return true;
}

bool LanRig::AddBusyBox(const std::string& address, std::string* error) {
    if (!AddBox(address, {}, error)) {
        return false;
    }
    holders_.push_back(std::make_unique<BoxSocket>());
    holding_.push_back(std::make_unique<BoxSession>(holders_.back().get()));
    if (!holders_.back()->Connect(address.c_str(), port_, kHolderWaitMs) ||
        holding_.back()->Login(box_defaults::kPassword) != BoxSession::kLoginOk) {
        *error = "cannot keep the box at " + address + " busy";
        return false;
    }
    return true;
}
