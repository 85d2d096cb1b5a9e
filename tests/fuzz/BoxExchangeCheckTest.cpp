// The request fuzzer's judge of one connection, fed streams made by hand:
// what it allows the box's folder to hold once a reset has thrown away the
// box's last answers, and what it still calls a fault.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "box/WireFormat.h"
#include "catalog/Manifest.h"
#include "fuzz/BoxExchangeCheck.h"
#include "fuzz/BoxFolder.h"
#include "tests/support/TempDir.h"

namespace {

using Stream = std::vector<uint8_t>;

template <size_t N>
void Add(Stream* s, const wire::Bytes<N>& message) {
    s->insert(s->end(), message.begin(), message.end());
}

void AddLogin(Stream* s, const char* password) {
    Add(s, wire::EncodeRequestHeader(
               {wire::kCmdLogin, static_cast<uint16_t>(wire::kLoginPayloadSize)}));
    Add(s, wire::EncodeLoginPayload(password));
}

// An upload request and its blocks of up to 1024 bytes, the last flagged.
void AddUpload(Stream* s, const char* name, const std::string& data) {
    Add(s, wire::EncodeRequestHeader({wire::kCmdUpload, 0}));
    Add(s, wire::EncodeNameField(name));
    for (size_t at = 0;;) {
        wire::UploadBlock block;
        const size_t n = std::min(data.size() - at, wire::kBlockDataSize);
        const bool last = n < wire::kBlockDataSize;
        block.flag = last ? wire::kFlagLast : wire::kFlagMore;
        block.count = static_cast<int32_t>(n);
        std::memcpy(block.data.data(), data.data() + at, n);
        Add(s, wire::EncodeUploadBlock(block));
        at += n;
        if (last) {
            return;
        }
    }
}

struct Case {
    const char* what;
    const char* password;  // of the login before the upload
    const char* name;      // uploaded
    bool reset;            // the connection ended in a reset
    std::string holds;     // what the folder then holds under the name
    bool fault;
};

}  // namespace

TEST(BoxExchangeCheck, AfterAResetAWholeUploadMayBeStoredAndNothingElse) {
    TempDir dir;
    BoxFolder folder;
    std::string error;
    ASSERT_TRUE(folder.Create(dir.Path().string(), &error)) << error;
    const std::string upload(1500, 'u');
    const Case cases[] = {
        {"reset: the whole upload", BoxFolder::kPassword, "new.bin", true, upload, false},
        {"reset: only its first block", BoxFolder::kPassword, "new.bin", true,
         upload.substr(0, 1024), true},
        {"reset: the manifest replaced", BoxFolder::kPassword, Manifest::kFileName, true, upload,
         true},
        {"reset: no login that the box accepts", "0000", "new.bin", true, upload, true},
        {"no reset: the upload the box did not answer", BoxFolder::kPassword, "new.bin", false,
         upload, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Stream pc;
        AddLogin(&pc, c.password);
        AddUpload(&pc, c.name, upload);
        // The box's answers up to the login's; the rest thrown away.
        const bool right = std::strcmp(c.password, BoxFolder::kPassword) == 0;
        Stream box;
        Add(&box, wire::EncodeReply({0x1001, 0, right ? wire::kStatusAccepted : uint8_t{0}}));
        BoxFolder::Files now = folder.Initial();
        now[c.name] = c.holds;
        const std::string failure = BoxExchangeCheck::Run(pc, box, c.reset, false, folder, now);
        EXPECT_EQ(!failure.empty(), c.fault) << failure;
    }
}
