// Writes the fuzzer's seed corpus: valid exchanges of every operation, their
// refusals and the ways a box may break off, each as one input file.
//   velqo_fuzz_seeds DIR
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "box/WireFormat.h"
#include "fuzz/SessionScript.h"

namespace {

using fuzzscript::EncodeOp;
using fuzzscript::OpKind;

// Indices into the session script's tables.
constexpr int kDumpPlain = 0;
constexpr int kDumpKept = 1;
constexpr int kDumpLongest = 2;
constexpr int kDumpTooLong = 3;
constexpr int kDumpDotDot = 4;
constexpr int kDumpEmpty = 6;
constexpr int kUpEmpty = 0;
constexpr int kUpK1 = 1;
constexpr int kUpOdd = 2;
constexpr int kUpK2 = 3;
constexpr int kUpMissing = 4;
constexpr int kUpUnsafe = 5;

const uint8_t kLogin = EncodeOp(OpKind::kLogin, 0);
const uint8_t kList = EncodeOp(OpKind::kList, 0);
const uint8_t kLogout = EncodeOp(OpKind::kLogout, 0);
uint8_t Dump(int name) {
    return EncodeOp(OpKind::kDump, name);
}
uint8_t Upload(int file) {
    return EncodeOp(OpKind::kUpload, file);
}

class Seed {
public:
    explicit Seed(std::initializer_list<uint8_t> ops) {
        bytes_.push_back(fuzzscript::EncodeOpCount(ops.size()));
        bytes_.insert(bytes_.end(), ops.begin(), ops.end());
    }

    template <size_t N>
    Seed& Add(const wire::Bytes<N>& message) {
        bytes_.insert(bytes_.end(), message.begin(), message.end());
        return *this;
    }
    Seed& Reply(uint16_t value, uint8_t followUp, uint8_t status) {
        return Add(wire::EncodeReply({value, followUp, status}));
    }
    Seed& Accepted(uint8_t followUp = 0) { return Reply(0, followUp, wire::kStatusAccepted); }
    Seed& LoginOk() { return Reply(wire::kToolVersion, 0, wire::kStatusAccepted); }
    Seed& Refusal(const char* text) { return Add(wire::EncodeRefusalText(text)); }
    Seed& Record(int32_t percent, int32_t flag, int32_t length, const std::string& data) {
        wire::DataRecord r;
        r.percent = percent;
        r.flag = flag;
        r.length = length;
        std::copy(data.begin(), data.begin() + std::min(data.size(), r.data.size()),
                  r.data.begin());
        return Add(wire::EncodeDataRecord(r));
    }
    Seed& Data(int32_t percent, int32_t flag, const std::string& data) {
        return Record(percent, flag, static_cast<int32_t>(data.size()), data);
    }
    Seed& Text(int32_t status, const char* text) { return Data(0, status, text); }
    Seed& Raw(const std::vector<uint8_t>& raw) {
        bytes_.insert(bytes_.end(), raw.begin(), raw.end());
        return *this;
    }
    Seed& List(std::initializer_list<wire::ListRecord> records, int32_t count) {
        wire::ListPayload p;
        p.count = count;
        size_t i = 0;
        for (const wire::ListRecord& r : records) {
            p.records[i++] = r;
        }
        Reply(wire::kListReplyValue, 0, wire::kStatusAccepted);
        return Add(wire::EncodeListPayload(p));
    }

    bool WriteTo(const std::string& path) const {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes_.data()),
                  static_cast<std::streamsize>(bytes_.size()));
        return static_cast<bool>(out);
    }

private:
    std::vector<uint8_t> bytes_;
};

wire::ListRecord Entry(const char* group, const char* name, int32_t type) {
    wire::ListRecord r;
    std::snprintf(r.group, sizeof r.group, "%s", group);
    std::snprintf(r.name, sizeof r.name, "%s", name);
    r.type = type;
    return r;
}

// A list payload of 28 records whose last record's texts fill their fields
// with no terminator.
std::vector<uint8_t> FullUnterminatedList() {
    wire::ListPayload p;
    p.count = 28;
    for (size_t i = 0; i < wire::kMaxListRecords; ++i) {
        p.records[i] = Entry("Group", ("file" + std::to_string(i) + ".txt").c_str(), i % 4);
    }
    const auto payload = wire::EncodeListPayload(p);
    std::vector<uint8_t> bytes(payload.begin(), payload.end());
    uint8_t* last = &bytes[4 + 27 * wire::kListRecordSize];
    std::fill(last, last + wire::kGroupNameSize + wire::kNameFieldSize, 'x');
    return bytes;
}

std::vector<uint8_t> ReplyBytes(uint16_t value) {
    const auto r = wire::EncodeReply({value, 0, wire::kStatusAccepted});
    return std::vector<uint8_t>(r.begin(), r.end());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: velqo_fuzz_seeds DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    const std::string block(1024, 'd');
    std::vector<std::pair<const char*, Seed>> seeds;

    seeds.emplace_back("full_session",
                       Seed({kLogin, kList, Dump(kDumpPlain), Upload(kUpOdd), kLogout})
                           .LoginOk()
                           .List({Entry("Channels", "a.txt", 1), Entry("Channels", "keep.bin", 0),
                                  Entry("Logos", "odd.bin", 2)},
                                 3)
                           .Accepted()
                           .Data(50, 2, block)
                           .Data(100, 3, "tail of the file\n")
                           .Accepted(wire::kFollowUpWaitPhase)
                           .Accepted()
                           .Accepted()
                           .Text(2, "Checking data ...")
                           .Text(3, "Update finished"));
    seeds.emplace_back("login_refused",
                       Seed({kLogin}).Reply(0x1000, 0, 0).Refusal("Wrong password"));
    seeds.emplace_back("login_version_too_high", Seed({kLogin}).Reply(0x1002, 0, 1));
    seeds.emplace_back("login_short_reply", Seed({kLogin, kLogin}).Raw({0, 0, 1}));
    seeds.emplace_back("list_empty_then_full", Seed({kLogin, kList, kList, kLogout})
                                                   .LoginOk()
                                                   .List({}, 0)
                                                   .Raw(ReplyBytes(wire::kListReplyValue))
                                                   .Raw(FullUnterminatedList()));
    seeds.emplace_back("list_bad_value", Seed({kLogin, kList}).LoginOk().Raw(ReplyBytes(1459)));
    seeds.emplace_back("list_count_negative", Seed({kLogin, kList}).LoginOk().List({}, -5));
    seeds.emplace_back(
        "dump_refused",
        Seed({kLogin, Dump(kDumpPlain)}).LoginOk().Reply(0, 0, 0).Refusal("No such file"));
    seeds.emplace_back(
        "dump_broken_off",
        Seed({kLogin, Dump(kDumpKept)}).LoginOk().Accepted().Data(40, 2, block).Raw({1, 2, 3}));
    seeds.emplace_back("dump_odd_records", Seed({kLogin, Dump(kDumpKept), Dump(kDumpLongest)})
                                               .LoginOk()
                                               .Accepted()
                                               .Data(101, 2, "abc")
                                               .Record(-1, 2, 0, "")
                                               .Record(7, 2, 2000, block)
                                               .Record(100, 3, -4, "")
                                               .Accepted()
                                               .Data(100, 3, "whole file in one record"));
    seeds.emplace_back("upload_without_wait", Seed({kLogin, Upload(kUpK2), Upload(kUpEmpty)})
                                                  .LoginOk()
                                                  .Accepted()
                                                  .Accepted()
                                                  .Accepted()
                                                  .Accepted()
                                                  .Accepted()
                                                  .Accepted());
    seeds.emplace_back("upload_refused",
                       Seed({kLogin, Upload(kUpK1), Upload(kUpMissing), Upload(kUpUnsafe), kLogout})
                           .LoginOk()
                           .Reply(0, 0, 0)
                           .Refusal("Storage full"));
    seeds.emplace_back("upload_wait_failed", Seed({kLogin, Upload(kUpK1), kList, kLogout})
                                                 .LoginOk()
                                                 .Accepted(wire::kFollowUpWaitPhase)
                                                 .Accepted()
                                                 .Accepted()
                                                 .Text(2, "Writing flash ...")
                                                 .Text(4, "Flash write failed"));
    seeds.emplace_back("upload_wait_short_record", Seed({kLogin, Upload(kUpOdd)})
                                                       .LoginOk()
                                                       .Accepted(wire::kFollowUpWaitPhase)
                                                       .Accepted()
                                                       .Accepted()
                                                       .Raw({0, 0, 0, 0, 4, 0, 0, 0, 'x'}));
    seeds.emplace_back("refused_names", Seed({Dump(kDumpDotDot), Dump(kDumpEmpty),
                                              Dump(kDumpTooLong), Upload(kUpUnsafe), kLogout}));

    for (const auto& [name, seed] : seeds) {
        const std::string path = dir + "/" + name;
        if (!seed.WriteTo(path)) {
            std::fprintf(stderr, "velqo_fuzz_seeds: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    std::printf("velqo_fuzz_seeds: wrote %zu inputs to %s\n", seeds.size(), dir.c_str());
    return 0;
}
