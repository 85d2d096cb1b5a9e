#include "fuzz/SessionScript.h"

#include <iterator>

namespace fuzzscript {

const char* const kPasswords[] = {"1234", "", "98765", "0\x7f z"};
const size_t kPasswordCount = std::size(kPasswords);

const char* const kKeptName = "keep.bin";

const DumpName kDumpNames[] = {
    {"a.txt", true},
    {"keep.bin", true},
    {"abcdefghijklmnopqrstuvwxyz01234", true},    // 31 characters: the longest plain name
    {"abcdefghijklmnopqrstuvwxyz012345", false},  // 32 characters
    {"..", false},
    {"sub/evil.txt", false},
    {"", false},
};
const size_t kDumpNameCount = std::size(kDumpNames);

const UploadFile kUploadFiles[] = {
    {"empty.bin", true, 0}, {"k1.bin", true, 1024},    {"odd.bin", true, 1500},
    {"k2.bin", true, 2048}, {"missing.bin", true, -1}, {"../up.bin", false, -1},
};
const size_t kUploadFileCount = std::size(kUploadFiles);

bool ParseScript(const uint8_t* data, size_t size, Script* out) {
    if (size < 1) {
        return false;
    }
    const size_t count = 1 + data[0] % kMaxOps;
    if (size < 1 + count) {
        return false;
    }
    out->ops.clear();
    for (size_t i = 0; i < count; ++i) {
        const uint8_t b = data[1 + i];
        out->ops.push_back(Op{static_cast<OpKind>(b % kOpKinds), b / kOpKinds});
    }
    out->box = data + 1 + count;
    out->boxSize = size - 1 - count;
    return true;
}

uint8_t EncodeOpCount(size_t count) {
    return static_cast<uint8_t>(count - 1);
}

uint8_t EncodeOp(OpKind kind, int arg) {
    return static_cast<uint8_t>(static_cast<int>(kind) + kOpKinds * arg);
}

}  // namespace fuzzscript
