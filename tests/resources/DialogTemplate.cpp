#include "DialogTemplate.h"

#include <cstring>

namespace {

// Little-endian cursor over the template bytes that fails instead of
// reading past the end.
class Cursor {
public:
    Cursor(const BYTE* data, std::size_t size) : data_(data), size_(size) {}

    bool ok() const { return ok_; }

    template <typename T>
    T Read() {
        T value{};
        if (pos_ + sizeof(T) > size_) {
            ok_ = false;
            return value;
        }
        std::memcpy(&value, data_ + pos_, sizeof(T));
        pos_ += sizeof(T);
        return value;
    }

    std::wstring ReadString() {
        std::wstring text;
        for (WORD c = Read<WORD>(); ok_ && c != 0; c = Read<WORD>()) {
            text.push_back(static_cast<wchar_t>(c));
        }
        return text;
    }

    // A name or ordinal field: 0 = none, 0xFFFF + ordinal, else a string.
    void ReadNameOrOrdinal(std::wstring* name, int* ordinal) {
        WORD first = Read<WORD>();
        if (first == 0xFFFF) {
            *ordinal = Read<WORD>();
        } else if (first != 0) {
            name->push_back(static_cast<wchar_t>(first));
            *name += ReadString();
        }
    }

    void AlignTo4() { pos_ = (pos_ + 3) & ~std::size_t{3}; }
    void Skip(std::size_t n) {
        if (pos_ + n > size_) {
            ok_ = false;
        }
        pos_ += n;
    }

private:
    const BYTE* data_;  // not owned
    std::size_t size_;
    std::size_t pos_ = 0;
    bool ok_ = true;
};

std::wstring PredefinedClassName(int ordinal) {
    switch (ordinal) {
        case 0x80:
            return L"Button";
        case 0x81:
            return L"Edit";
        case 0x82:
            return L"Static";
        case 0x83:
            return L"ListBox";
        case 0x84:
            return L"ScrollBar";
        case 0x85:
            return L"ComboBox";
        default:
            return L"#" + std::to_wstring(ordinal);
    }
}

bool ReadItem(Cursor& in, bool extended, DialogItem* item) {
    in.AlignTo4();
    if (extended) {
        in.Read<DWORD>();  // help id
        item->exStyle = in.Read<DWORD>();
        item->style = in.Read<DWORD>();
    } else {
        item->style = in.Read<DWORD>();
        item->exStyle = in.Read<DWORD>();
    }
    item->x = in.Read<short>();
    item->y = in.Read<short>();
    item->cx = in.Read<short>();
    item->cy = in.Read<short>();
    item->id = extended ? in.Read<INT>() : in.Read<SHORT>();
    int classOrdinal = -1;
    in.ReadNameOrOrdinal(&item->className, &classOrdinal);
    if (classOrdinal >= 0) {
        item->className = PredefinedClassName(classOrdinal);
    }
    in.ReadNameOrOrdinal(&item->text, &item->textOrdinal);
    in.Skip(in.Read<WORD>());  // creation data
    return in.ok();
}

}  // namespace

std::optional<DialogTemplate> ParseDialogTemplate(const BYTE* data, std::size_t size) {
    Cursor in(data, size);
    DialogTemplate dlg;
    WORD first = in.Read<WORD>();
    WORD second = in.Read<WORD>();
    dlg.extended = first == 1 && second == 0xFFFF;
    if (dlg.extended) {
        in.Read<DWORD>();  // help id
        dlg.exStyle = in.Read<DWORD>();
        dlg.style = in.Read<DWORD>();
    } else {
        dlg.style = MAKELONG(first, second);
        dlg.exStyle = in.Read<DWORD>();
    }
    WORD count = in.Read<WORD>();
    dlg.x = in.Read<short>();
    dlg.y = in.Read<short>();
    dlg.cx = in.Read<short>();
    dlg.cy = in.Read<short>();
    std::wstring menu, windowClass;
    int menuOrdinal = -1, classOrdinal = -1;
    in.ReadNameOrOrdinal(&menu, &menuOrdinal);
    in.ReadNameOrOrdinal(&windowClass, &classOrdinal);
    dlg.title = in.ReadString();
    if (dlg.style & (DS_SETFONT | DS_SHELLFONT)) {
        dlg.pointSize = in.Read<WORD>();
        if (dlg.extended) {
            dlg.weight = in.Read<WORD>();
            dlg.italic = in.Read<BYTE>();
            dlg.charset = in.Read<BYTE>();
        }
        dlg.faceName = in.ReadString();
    }
    for (WORD i = 0; i < count; ++i) {
        DialogItem item;
        if (!ReadItem(in, dlg.extended, &item)) {
            return std::nullopt;
        }
        dlg.items.push_back(std::move(item));
    }
    if (!in.ok()) {
        return std::nullopt;
    }
    return dlg;
}

std::optional<DialogTemplate> LoadDialogTemplate(HMODULE module, int id) {
    HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5) /* RT_DIALOG */);
    if (info == nullptr) {
        return std::nullopt;
    }
    HGLOBAL loaded = LoadResource(module, info);
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr) {
        return std::nullopt;
    }
    return ParseDialogTemplate(static_cast<const BYTE*>(bytes), SizeofResource(module, info));
}
