// Writes the box request fuzzer's seed corpus: PC byte streams with every
// command, accepted and refused, in several orders, and the malformed
// requests the box must end a connection on; each as one input file whose
// first byte picks the box without (0) or with (1) a wait phase.
//   velqo_fuzz_box_seeds DIR
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

#include "box/WireFormat.h"

namespace {

using Stream = std::vector<uint8_t>;

template <size_t N>
void Add(Stream* s, const wire::Bytes<N>& b) {
    s->insert(s->end(), b.begin(), b.end());
}

struct Builder {
    Stream s;
    Builder& Header(uint8_t command) {
        const uint16_t length = command == wire::kCmdLogin ? wire::kLoginPayloadSize : 0;
        Add(&s, wire::EncodeRequestHeader({command, length}));
        return *this;
    }
    Builder& Login(const char* password) {
        Header(wire::kCmdLogin);
        Add(&s, wire::EncodeLoginPayload(password));
        return *this;
    }
    Builder& List() { return Header(wire::kCmdList); }
    Builder& Logout() { return Header(wire::kCmdLogout); }
    // A dump acknowledged record by record; `records` as the file needs.
    Builder& Dump(const char* name, int records) {
        Header(wire::kCmdDump);
        Add(&s, wire::EncodeNameField(name));
        for (int i = 0; i < records; ++i) {
            Add(&s, wire::EncodeAcknowledgement());
        }
        return *this;
    }
    Builder& Upload(const char* name, const std::string& data) {
        Header(wire::kCmdUpload);
        Add(&s, wire::EncodeNameField(name));
        size_t at = 0;
        while (true) {
            wire::UploadBlock block;
            const size_t n = std::min(wire::kBlockDataSize, data.size() - at);
            std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(at), n, block.data.begin());
            block.count = static_cast<int32_t>(n);
            block.flag = n == wire::kBlockDataSize ? wire::kFlagMore : wire::kFlagLast;
            Add(&s, wire::EncodeUploadBlock(block));
            at += n;
            if (block.flag == wire::kFlagLast) {
                return *this;
            }
        }
    }
    // A request name alone: what follows is up to the fuzzer.
    Builder& UploadRequest(const char* name) {
        Header(wire::kCmdUpload);
        Add(&s, wire::EncodeNameField(name));
        return *this;
    }
    Builder& Raw(std::initializer_list<uint8_t> bytes) {
        s.insert(s.end(), bytes);
        return *this;
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: velqo_fuzz_box_seeds DIR\n");
        return 2;
    }
    const std::string text(1500, 'x');
    struct Seed {
        const char* name;
        uint8_t waitPhase;
        Builder b;
    };
    std::vector<Seed> seeds = {
        {"full_session", 0,
         Builder()
             .Login("7351")
             .List()
             .Dump("settings.txt", 1)
             .Dump("image.bin", 3)
             .Dump("empty.txt", 1)
             .Upload("new.bin", text)
             .List()
             .Logout()},
        {"upload_then_dump", 0,
         Builder().Login("7351").Upload("settings.txt", "c=3\n").Dump("settings.txt", 1)},
        {"upload_wait_phase", 1, Builder().Login("7351").Upload("new.bin", text).List()},
        {"upload_whole_kilobytes", 1,
         Builder().Login("7351").Upload("two.bin", std::string(2048, 'k'))},
        {"before_login", 0,
         Builder().List().Dump("settings.txt", 0).UploadRequest("new.bin").Login("1234").List()},
        {"refused_names", 0,
         Builder()
             .Login("7351")
             .Dump("gone.bin", 0)
             .Dump("folder.bin", 0)
             .Dump("unlisted.bin", 0)
             .Dump("../manifest.txt", 0)
             .UploadRequest("folder.bin")
             .UploadRequest("manifest.txt")
             .UploadRequest("CON")
             .UploadRequest("a/b")
             .UploadRequest("~boxsim-x.part")
             .List()},
        {"logout_ends_login", 0, Builder().Login("7351").Logout().Dump("settings.txt", 0).List()},
        {"broken_off_upload", 0,
         Builder().Login("7351").UploadRequest("half.bin").Raw({2, 0, 0, 0, 0, 4, 0, 0})},
        {"bad_block", 0,
         Builder().Login("7351").UploadRequest("bad.bin").Raw({9, 0, 0, 0, 1, 0, 0, 0})},
        {"bad_acknowledgement", 0,
         Builder().Login("7351").Dump("image.bin", 0).Raw({1, 2, 3, 4, 5, 6})},
        {"bad_header", 0, Builder().Login("7351").Raw({2, 1, 0, 0}).List()},
        {"unknown_command", 0, Builder().Raw({9, 0, 0, 0})},
    };
    for (const Seed& seed : seeds) {
        const std::string path = std::string(argv[1]) + "/" + seed.name;
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.put(static_cast<char>(seed.waitPhase));
        out.write(reinterpret_cast<const char*>(seed.b.s.data()),
                  static_cast<std::streamsize>(seed.b.s.size()));
        if (!out) {
            std::fprintf(stderr, "velqo_fuzz_box_seeds: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
