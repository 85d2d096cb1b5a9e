#pragma once
// A box's name as the store writes it into folder names, and back. Two
// names never share a store name: ASCII letters, digits, '-' and '_' stay as
// they are, and so does '.' anywhere but first (no folder is hidden);
// every other byte, '%' and '+' among them, becomes %HH (upper-case hex) of
// its byte, so "Büro" is "B%C3%BCro" and "a b" is "a%20b", never "a_b".
// Names written by earlier versions (those characters only, '_' for every
// other, a '.' first too) read as themselves.
#include <cstddef>
#include <string>

class StoreName {
public:
    // A folder name holds at most 255 bytes; the stem leaves room for the
    // port, the stamp and a sequence number.
    static constexpr size_t kMaxLength = 200;

    // The store name of `name`; "_" for an empty one, as earlier versions wrote it.
    static std::string Encode(const std::string& name);
    // The name a store name stands for; a text that is no store name as it is.
    static std::string Decode(const std::string& storeName);
    // Whether `text` is a store name that Encode writes or that an earlier
    // version wrote: only the characters kept, and %HH only where Encode
    // writes it (so one name has one store name).
    static bool IsStoreName(const std::string& text);
    // Whether `name`'s store name fits in kMaxLength bytes.
    static bool Fits(const std::string& name);
};
