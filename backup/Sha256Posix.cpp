#include <openssl/evp.h>

#include "backup/Sha256.h"

struct Sha256::State {
    struct Free {
        void operator()(EVP_MD_CTX* c) const { EVP_MD_CTX_free(c); }
    };
    std::unique_ptr<EVP_MD_CTX, Free> context{EVP_MD_CTX_new()};
    bool ok = context != nullptr && EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) == 1;
};

Sha256::Sha256() : state_(std::make_unique<State>()) {}

Sha256::~Sha256() = default;

bool Sha256::Update(const void* data, size_t size) {
    state_->ok = state_->ok && EVP_DigestUpdate(state_->context.get(), data, size) == 1;
    return state_->ok;
}

bool Sha256::Finish(Digest* digest) {
    unsigned int length = 0;
    state_->ok = state_->ok &&
                 EVP_DigestFinal_ex(state_->context.get(), digest->data(), &length) == 1 &&
                 length == kDigestSize;
    return state_->ok;
}
