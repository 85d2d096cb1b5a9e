#pragma once
// How a fuzz input is read: its first bytes choose a sequence of session
// operations (with their file names and passwords), and everything after
// them is the byte stream that the box sends, played against those
// operations in order. The seed generator writes inputs in the same shape.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace fuzzscript {

enum class OpKind : uint8_t { kLogin, kList, kDump, kUpload, kLogout };
constexpr int kOpKinds = 5;
constexpr size_t kMaxOps = 8;

struct Op {
    OpKind kind = OpKind::kLogin;
    int arg = 0;  // index into the table of its kind, taken modulo its size
};

struct Script {
    std::vector<Op> ops;
    const uint8_t* box = nullptr;  // not owned: points into the fuzz input
    size_t boxSize = 0;
};

// Passwords that Login is called with.
extern const char* const kPasswords[];
extern const size_t kPasswordCount;

// Names that Dump is called with: plain names, one that exists locally with
// known content, and names that must be refused before anything is sent.
struct DumpName {
    const char* name;
    bool plain;  // a plain file name that the session must accept
};
extern const DumpName kDumpNames[];
extern const size_t kDumpNameCount;
// The dump name whose local file exists before the dump.
extern const char* const kKeptName;

// Names that Upload is called with and the size of the local file created
// for each; -1 means no local file exists.
struct UploadFile {
    const char* name;
    bool plain;
    int size;
};
extern const UploadFile kUploadFiles[];
extern const size_t kUploadFileCount;

// Layout: byte 0 gives the number of operations (1 + byte % 8); each of the
// following bytes is one operation (kind = byte % 5, arg = byte / 5); the
// rest is the box's byte stream. False when the input is too short.
bool ParseScript(const uint8_t* data, size_t size, Script* out);

uint8_t EncodeOpCount(size_t count);
uint8_t EncodeOp(OpKind kind, int arg);

}  // namespace fuzzscript
