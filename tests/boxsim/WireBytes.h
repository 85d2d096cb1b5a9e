#pragma once
// Hand-built wire messages and record parsing for the substitute box's tests,
// written out byte by byte so that the tests do not lean on the encoder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "box/ByteOrder.h"

using Bytes = std::vector<uint8_t>;

inline const Bytes kLoginRequest = {1, 0, 8, 0, 0, 0, 0, 0, '7', '3', '5', '1'};
inline const Bytes kAccepted = {0, 0, 0, 0, 0, 1};
inline const Bytes kRefusedReply = {0, 0, 0, 0, 0, 0};
inline const Bytes kAck = {0, 0, 0, 0, 0, 1};

inline Bytes NameField(const std::string& name) {
    Bytes b(32, 0);
    std::memcpy(b.data(), name.data(), std::min<size_t>(name.size(), 32));
    return b;
}

inline Bytes Refusal(const std::string& text) {
    Bytes b(128, 0);
    std::memcpy(b.data(), text.data(), text.size());
    return b;
}

inline Bytes Header(uint8_t command) {
    return {command, 0, 0, 0};
}

inline Bytes Block(int32_t flag, const std::string& data, int32_t count) {
    Bytes b(1032, 0);
    wire::PutI32(&b[0], flag);
    wire::PutI32(&b[4], count);
    std::memcpy(&b[8], data.data(), data.size());
    return b;
}

struct Record {
    int32_t percent;
    int32_t flag;
    int32_t length;
    std::string data;  // the bytes up to length (all 1024 when length is out of range)
};

inline Record ParseRecord(const Bytes& b) {
    EXPECT_EQ(b.size(), 1036u);
    if (b.size() != 1036) {
        return {};
    }
    Record r{wire::GetI32(&b[0]), wire::GetI32(&b[4]), wire::GetI32(&b[8]), {}};
    const size_t n = r.length >= 0 && r.length <= 1024 ? r.length : 1024;
    r.data.assign(reinterpret_cast<const char*>(&b[12]), n);
    // The bytes after length carry nothing.
    for (size_t i = 12 + n; i < b.size(); ++i) {
        EXPECT_EQ(b[i], 0) << "byte " << i;
    }
    return r;
}

// A wait-phase record as the box should send it: text, status as flag.
inline Bytes WaitRecord(int32_t percent, int32_t flag, const std::string& text) {
    Bytes b(1036, 0);
    wire::PutI32(&b[0], percent);
    wire::PutI32(&b[4], flag);
    wire::PutI32(&b[8], static_cast<int32_t>(text.size()));
    std::memcpy(&b[12], text.data(), text.size());
    return b;
}
