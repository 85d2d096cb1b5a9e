#pragma once
// The box command protocol's fixed-size messages: sizes, layouts and the one
// place where they are encoded and decoded. All integers are little-endian.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "base/Version.h"

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
// Where a data record's fields lie.
constexpr size_t kRecordPercentOffset = 0;
constexpr size_t kRecordFlagOffset = 4;
constexpr size_t kRecordLengthOffset = 8;
constexpr size_t kRecordDataOffset = 12;
static_assert(kDataRecordSize == kRecordDataOffset + kBlockDataSize);
static_assert(kUploadBlockSize == 8 + kBlockDataSize);

// A version on the wire: major in the top 4 bits, minor in the low 12.
constexpr unsigned kVersionMinorBits = 12;
constexpr uint16_t kVersionMinorMask = (1u << kVersionMinorBits) - 1;
constexpr uint16_t EncodeVersion(unsigned major, unsigned minor) {
    return static_cast<uint16_t>((major << kVersionMinorBits) | (minor & kVersionMinorMask));
}
constexpr unsigned VersionMajor(uint16_t v) {
    return v >> kVersionMinorBits;
}
constexpr unsigned VersionMinor(uint16_t v) {
    return v & kVersionMinorMask;
}
// A version as people read it, MAJOR.MINOR: 0x1002 is "1.002".
std::string VersionText(uint16_t v);
// The tool's own version, sent in no message but checked against the login reply.
constexpr uint16_t kToolVersion = EncodeVersion(version::kMajor, version::kMinor);
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
    // The box filled the name's field to its last byte, leaving no room for
    // the NUL: `name` holds it cut short, and a request cannot name it.
    bool nameFillsField = false;
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
// Whether six bytes can be a box's login reply: its first two bytes and the
// follow-up are zero, the status accepted or not; a program that is no box
// (a web server's "HTTP/1") mostly sends something else.
bool HasLoginReplyShape(const Bytes<kReplySize>& b);

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

// A received data record read in place: the fields are decoded where they lie and
// the data is not copied. The bytes must outlive the view. A record that came only
// in part (a box breaking off its wait phase) still tells its flag once the bytes
// up to it have come.
class DataRecordView {
public:
    explicit DataRecordView(const Bytes<kDataRecordSize>& bytes, size_t received = kDataRecordSize)
        : bytes_(bytes), received_(received) {}

    bool IsWhole() const { return received_ >= kDataRecordSize; }
    bool HasFlag() const { return received_ >= kRecordFlagOffset + sizeof(int32_t); }
    int32_t Percent() const;
    int32_t Flag() const;
    int32_t Length() const;
    // The data bytes that count: UsableDataLength(Length()) of them.
    std::span<const uint8_t> Data() const;
    // The data field as NUL-terminated text within its 1024 bytes.
    std::string Text() const;

private:
    const Bytes<kDataRecordSize>& bytes_;
    size_t received_;
};
// Bytes of a record's data to write: 0 for a length of 0 or less, at most 1024.
size_t UsableDataLength(int32_t length);
// A record's data taken as NUL-terminated text within its 1024 bytes.
std::string DataRecordText(const DataRecord& r);

Bytes<kUploadBlockSize> EncodeUploadBlock(const UploadBlock& b);
UploadBlock DecodeUploadBlock(const Bytes<kUploadBlockSize>& b);

// Text of a fixed-width field: up to the first NUL, never past the field.
std::string FieldText(const uint8_t* field, size_t width);

}  // namespace wire
