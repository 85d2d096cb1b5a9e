#include <windows.h>

#include <bcrypt.h>

#include "backup/Sha256.h"

namespace {

bool Succeeded(NTSTATUS status) {
    return status >= 0;
}

}  // namespace

struct Sha256::State {
    struct CloseAlgorithm {
        void operator()(BCRYPT_ALG_HANDLE h) const { BCryptCloseAlgorithmProvider(h, 0); }
    };
    struct DestroyHash {
        void operator()(BCRYPT_HASH_HANDLE h) const { BCryptDestroyHash(h); }
    };
    std::unique_ptr<void, CloseAlgorithm> algorithm;
    std::unique_ptr<void, DestroyHash> hash;  // declared last: destroyed before its algorithm
    bool ok = false;

    State() {
        BCRYPT_ALG_HANDLE a = nullptr;
        if (!Succeeded(BCryptOpenAlgorithmProvider(&a, BCRYPT_SHA256_ALGORITHM, nullptr, 0))) {
            return;
        }
        algorithm.reset(a);
        BCRYPT_HASH_HANDLE h = nullptr;
        // With no object buffer given, CNG allocates and frees the hash object itself.
        if (!Succeeded(BCryptCreateHash(a, &h, nullptr, 0, nullptr, 0, 0))) {
            return;
        }
        hash.reset(h);
        ok = true;
    }
};

Sha256::Sha256() : state_(std::make_unique<State>()) {}

Sha256::~Sha256() = default;

bool Sha256::Update(const void* data, size_t size) {
    // CNG takes at most a ULONG per call.
    constexpr size_t kMaxPiece = 1u << 30;
    const auto* bytes = static_cast<const UCHAR*>(data);
    while (state_->ok && size > 0) {
        const size_t piece = size < kMaxPiece ? size : kMaxPiece;
        state_->ok = Succeeded(BCryptHashData(state_->hash.get(), const_cast<UCHAR*>(bytes),
                                              static_cast<ULONG>(piece), 0));
        bytes += piece;
        size -= piece;
    }
    return state_->ok;
}

bool Sha256::Finish(Digest* digest) {
    state_->ok = state_->ok && Succeeded(BCryptFinishHash(state_->hash.get(), digest->data(),
                                                          static_cast<ULONG>(digest->size()), 0));
    return state_->ok;
}
