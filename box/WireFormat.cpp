#include "box/WireFormat.h"

#include <cstdio>

#include <algorithm>
#include <cstring>

#include "box/ByteOrder.h"

namespace wire {

std::string VersionText(uint16_t v) {
    char text[16];
    std::snprintf(text, sizeof text, "%1x.%03x", VersionMajor(v), VersionMinor(v));
    return text;
}

namespace {

// Copies a text into a fixed field, cut to leave room for the terminator.
void PutText(uint8_t* field, size_t width, const char* text) {
    if (text == nullptr) {
        return;
    }
    const size_t n = strnlen(text, width - 1);
    std::memcpy(field, text, n);
}

void CopyTerminated(char* out, size_t width, const uint8_t* field) {
    const size_t n = strnlen(reinterpret_cast<const char*>(field), width - 1);
    std::memcpy(out, field, n);
    out[n] = '\0';
}

}  // namespace

std::string FieldText(const uint8_t* field, size_t width) {
    const auto* text = reinterpret_cast<const char*>(field);
    return std::string(text, strnlen(text, width));
}

Bytes<kRequestHeaderSize> EncodeRequestHeader(const RequestHeader& h) {
    Bytes<kRequestHeaderSize> b{};
    b[0] = h.command;
    PutU16(&b[2], h.payloadLength);
    return b;
}

RequestHeader DecodeRequestHeader(const Bytes<kRequestHeaderSize>& b) {
    return RequestHeader{b[0], GetU16(&b[2])};
}

Bytes<kLoginPayloadSize> EncodeLoginPayload(const char* password) {
    Bytes<kLoginPayloadSize> b{};
    if (password != nullptr) {
        std::memcpy(&b[4], password, strnlen(password, kPasswordSize));
    }
    return b;
}

std::string DecodeLoginPassword(const Bytes<kLoginPayloadSize>& b) {
    return FieldText(&b[4], kPasswordSize);
}

Bytes<kNameFieldSize> EncodeNameField(const char* name) {
    Bytes<kNameFieldSize> b{};
    PutText(b.data(), b.size(), name);
    return b;
}

std::string DecodeNameField(const Bytes<kNameFieldSize>& b) {
    return FieldText(b.data(), b.size());
}

Bytes<kReplySize> EncodeReply(const Reply& r) {
    Bytes<kReplySize> b{};
    PutU16(&b[2], r.value);
    b[4] = r.followUp;
    b[5] = r.status;
    return b;
}

Reply DecodeReply(const Bytes<kReplySize>& b) {
    return Reply{GetU16(&b[2]), b[4], b[5]};
}

bool HasLoginReplyShape(const Bytes<kReplySize>& b) {
    return b[0] == 0 && b[1] == 0 && b[4] == 0 && (b[5] == 0 || b[5] == kStatusAccepted);
}

Bytes<kAcknowledgementSize> EncodeAcknowledgement() {
    Bytes<kAcknowledgementSize> b{};
    b[5] = kStatusAccepted;
    return b;
}

bool IsAcknowledgement(const Bytes<kAcknowledgementSize>& b) {
    return b == EncodeAcknowledgement();
}

Bytes<kRefusalTextSize> EncodeRefusalText(const std::string& text) {
    Bytes<kRefusalTextSize> b{};
    PutText(b.data(), b.size(), text.c_str());
    return b;
}

size_t UsableRecordCount(int32_t count) {
    if (count <= 0) {
        return 0;
    }
    return std::min(static_cast<size_t>(count), kMaxListRecords);
}

Bytes<kListPayloadSize> EncodeListPayload(const ListPayload& p) {
    Bytes<kListPayloadSize> b{};
    PutI32(&b[0], p.count);
    for (size_t i = 0; i < UsableRecordCount(p.count); ++i) {
        uint8_t* rec = &b[4 + i * kListRecordSize];
        PutText(rec, kGroupNameSize, p.records[i].group);
        PutText(rec + kGroupNameSize, kNameFieldSize, p.records[i].name);
        PutI32(rec + kGroupNameSize + kNameFieldSize, p.records[i].type);
    }
    return b;
}

ListPayload DecodeListPayload(const Bytes<kListPayloadSize>& b) {
    ListPayload p;
    p.count = GetI32(&b[0]);
    for (size_t i = 0; i < UsableRecordCount(p.count); ++i) {
        const uint8_t* rec = &b[4 + i * kListRecordSize];
        CopyTerminated(p.records[i].group, kGroupNameSize, rec);
        CopyTerminated(p.records[i].name, kNameFieldSize, rec + kGroupNameSize);
        p.records[i].nameFillsField = strnlen(reinterpret_cast<const char*>(rec + kGroupNameSize),
                                              kNameFieldSize) == kNameFieldSize;
        p.records[i].type = GetI32(rec + kGroupNameSize + kNameFieldSize);
    }
    return p;
}

Bytes<kDataRecordSize> EncodeDataRecord(const DataRecord& r) {
    Bytes<kDataRecordSize> b{};
    PutI32(&b[kRecordPercentOffset], r.percent);
    PutI32(&b[kRecordFlagOffset], r.flag);
    PutI32(&b[kRecordLengthOffset], r.length);
    std::copy(r.data.begin(), r.data.end(), b.begin() + kRecordDataOffset);
    return b;
}

DataRecord DecodeDataRecord(const Bytes<kDataRecordSize>& b) {
    const DataRecordView view(b);
    DataRecord r;
    r.percent = view.Percent();
    r.flag = view.Flag();
    r.length = view.Length();
    std::copy(b.begin() + kRecordDataOffset, b.end(), r.data.begin());
    return r;
}

int32_t DataRecordView::Percent() const {
    return GetI32(&bytes_[kRecordPercentOffset]);
}

int32_t DataRecordView::Flag() const {
    return GetI32(&bytes_[kRecordFlagOffset]);
}

int32_t DataRecordView::Length() const {
    return GetI32(&bytes_[kRecordLengthOffset]);
}

std::span<const uint8_t> DataRecordView::Data() const {
    return std::span<const uint8_t>(&bytes_[kRecordDataOffset], UsableDataLength(Length()));
}

std::string DataRecordView::Text() const {
    return FieldText(&bytes_[kRecordDataOffset], kBlockDataSize);
}

size_t UsableDataLength(int32_t length) {
    if (length <= 0) {
        return 0;
    }
    return std::min(static_cast<size_t>(length), kBlockDataSize);
}

std::string DataRecordText(const DataRecord& r) {
    return FieldText(r.data.data(), r.data.size());
}

Bytes<kUploadBlockSize> EncodeUploadBlock(const UploadBlock& blk) {
    Bytes<kUploadBlockSize> b{};
    PutI32(&b[0], blk.flag);
    PutI32(&b[4], blk.count);
    std::copy(blk.data.begin(), blk.data.end(), b.begin() + 8);
    return b;
}

UploadBlock DecodeUploadBlock(const Bytes<kUploadBlockSize>& b) {
    UploadBlock blk;
    blk.flag = GetI32(&b[0]);
    blk.count = GetI32(&b[4]);
    std::copy(b.begin() + 8, b.end(), blk.data.begin());
    return blk;
}

}  // namespace wire
