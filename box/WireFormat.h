#pragma once
// The box command protocol's fixed-size messages: sizes, layouts and the one
// place where they are encoded and decoded. All integers are little-endian.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace wire {

enum Command : uint8_t {
    kCmdLogin = 1,
    kCmdList = 2,
    kCmdDump = 3,
    kCmdUpload = 4,
    kCmdLogout = 5,
};

constexpr size_t kRequestHeaderSize = 4;
constexpr size_t kLoginPayloadSize = 8;
constexpr size_t kNameFieldSize = 32;
constexpr size_t kReplySize = 6;
constexpr size_t kAcknowledgementSize = 6;
constexpr size_t kRefusalTextSize = 128;
constexpr size_t kListRecordSize = 52;
constexpr size_t kMaxListRecords = 28;
constexpr size_t kListPayloadSize = 1460;
constexpr size_t kDataRecordSize = 1036;
constexpr size_t kBlockDataSize = 1024;
constexpr size_t kUploadBlockSize = 1032;
constexpr size_t kGroupNameSize = 16;
constexpr size_t kPasswordSize = 4;

static_assert(kListPayloadSize == 4 + kMaxListRecords * kListRecordSize);
static_assert(kListRecordSize == kGroupNameSize + kNameFieldSize + 4);
static_assert(kDataRecordSize == 12 + kBlockDataSize);
static_assert(kUploadBlockSize == 8 + kBlockDataSize);

// The tool's own version: major in the top 4 bits, minor in the low 12.
constexpr uint16_t kToolVersion = 0x1001;
// The value of a list reply: the size of the payload that follows.
constexpr uint16_t kListReplyValue = kListPayloadSize;
// Reply status byte for an accepted request.
constexpr uint8_t kStatusAccepted = 1;
// Follow-up flag of an upload reply: the box reports its processing afterwards.
constexpr uint8_t kFollowUpWaitPhase = 2;
// Flag of a download record, status of a wait-phase record and flag of an
// upload block that ends its sequence.
constexpr int32_t kFlagLast = 3;
constexpr int32_t kFlagMore = 2;
constexpr int32_t kStatusFailedFrom = 4;

template <size_t N>
using Bytes = std::array<uint8_t, N>;

struct RequestHeader {
    uint8_t command = 0;
    uint16_t payloadLength = 0;
};

struct Reply {
    uint16_t value = 0;
    uint8_t followUp = 0;
    uint8_t status = 0;
};

// One entry of the list payload; both texts are always NUL-terminated.
struct ListRecord {
    char group[kGroupNameSize] = {};
    char name[kNameFieldSize] = {};
    int32_t type = 0;
};

struct ListPayload {
    int32_t count = 0;  // as sent; the records hold only those that exist
    std::array<ListRecord, kMaxListRecords> records{};
};

struct DataRecord {
    int32_t percent = 0;
    int32_t flag = 0;
    int32_t length = 0;
    std::array<uint8_t, kBlockDataSize> data{};
};

struct UploadBlock {
    int32_t flag = 0;
    int32_t count = 0;
    std::array<uint8_t, kBlockDataSize> data{};
};

Bytes<kRequestHeaderSize> EncodeRequestHeader(const RequestHeader& h);
RequestHeader DecodeRequestHeader(const Bytes<kRequestHeaderSize>& b);

// Reserved word, then up to four password characters, zero-padded.
Bytes<kLoginPayloadSize> EncodeLoginPayload(const char* password);
std::string DecodeLoginPassword(const Bytes<kLoginPayloadSize>& b);

// The name, then zero bytes. A name longer than 31 characters is cut to fit.
Bytes<kNameFieldSize> EncodeNameField(const char* name);
std::string DecodeNameField(const Bytes<kNameFieldSize>& b);

Bytes<kReplySize> EncodeReply(const Reply& r);
Reply DecodeReply(const Bytes<kReplySize>& b);

// The PC's answer to every download record: the reply shape with status 1.
Bytes<kAcknowledgementSize> EncodeAcknowledgement();
bool IsAcknowledgement(const Bytes<kAcknowledgementSize>& b);

Bytes<kRefusalTextSize> EncodeRefusalText(const std::string& text);

Bytes<kListPayloadSize> EncodeListPayload(const ListPayload& p);
// Records beyond the count, and the count itself, are bounded by the 28
// records the payload can hold.
ListPayload DecodeListPayload(const Bytes<kListPayloadSize>& b);
// The number of records that a payload's count names and that exist: 0..28.
size_t UsableRecordCount(int32_t count);

Bytes<kDataRecordSize> EncodeDataRecord(const DataRecord& r);
DataRecord DecodeDataRecord(const Bytes<kDataRecordSize>& b);
// Bytes of a record's data to write: 0 for a length of 0 or less, at most 1024.
size_t UsableDataLength(int32_t length);
// A record's data taken as NUL-terminated text within its 1024 bytes.
std::string DataRecordText(const DataRecord& r);

Bytes<kUploadBlockSize> EncodeUploadBlock(const UploadBlock& b);
UploadBlock DecodeUploadBlock(const Bytes<kUploadBlockSize>& b);

// Text of a fixed-width field: up to the first NUL, never past the field.
std::string FieldText(const uint8_t* field, size_t width);

}  // namespace wire
