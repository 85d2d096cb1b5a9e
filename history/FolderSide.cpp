#include "history/FolderSide.h"

#include "base/RegularFile.h"
#include "base/TextEscape.h"

bool FolderSide::Load(const std::filesystem::path& folder, std::string* why) {
    switch (contents_.Load(folder, nullptr)) {
        case BackupContents::Check::kOk:
            return true;
        case BackupContents::Check::kUnusable:
            *why = contents_.ErrorFile() + ": " + contents_.Error();
            return false;
        case BackupContents::Check::kDamaged:
            break;
    }
    *why = "damaged, its checksums do not match:";
    for (const std::string& name : contents_.Failing()) {
        *why += " " + QuoteForMessage(name);
    }
    return false;
}

std::string FolderSide::ChecksumOf(const std::string& name) const {
    const ChecksumLine* line = contents_.Sums().Find(name);
    return line == nullptr ? std::string() : line->hex;
}

bool FolderSide::Read(const std::string& name, std::string* bytes, std::string* why) {
    FileKind kind = FileKind::kMissing;
    if (ReadRegularFile(contents_.PathOf(name), LinkRule::kRefuse, kMaxFileBytes, bytes, &kind)) {
        return true;
    }
    *why = kind == FileKind::kRegular ? "larger than " + std::to_string(kMaxFileBytes) + " bytes"
                                      : std::string(FileKindText(kind));
    return false;
}
