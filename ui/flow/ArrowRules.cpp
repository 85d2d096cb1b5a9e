#include "ui/flow/ArrowRules.h"

#include "catalog/FileCatalog.h"

namespace {

constexpr int kNoFile = -1;

ButtonChange EnableWhen(bool condition) {
    return condition ? ButtonChange::kEnable : ButtonChange::kDisable;
}

}  // namespace

int ArrowRules::TypeOf(const char* text) const {
    return text != nullptr ? m_catalog.FindFileType(text) : kNoFile;
}

bool ArrowRules::IsCatalogued(const char* text) const {
    return TypeOf(text) != kNoFile;
}

ArrowChanges ArrowRules::BoxTreeClick(const char* selected) const {
    return {EnableWhen(IsCatalogued(selected)), ButtonChange::kDisable};
}

ArrowChanges ArrowRules::BoxTreeSelChanged(const char* newItem) const {
    return {EnableWhen(IsCatalogued(newItem)), ButtonChange::kUnchanged};
}

ArrowChanges ArrowRules::BoxTreeKillFocus(bool focusOnDownload) const {
    return {focusOnDownload ? ButtonChange::kUnchanged : ButtonChange::kDisable,
            ButtonChange::kUnchanged};
}

ArrowChanges ArrowRules::LocalTreeClick(const char* selected) const {
    return {ButtonChange::kDisable, EnableWhen(IsCatalogued(selected))};
}

ArrowChanges ArrowRules::LocalTreeSelChanged(const char* newItem) const {
    return {ButtonChange::kUnchanged, EnableWhen(TypeOf(newItem) > 0)};
}

ArrowChanges ArrowRules::LocalTreeKillFocus(bool focusOnUpload) const {
    return {ButtonChange::kUnchanged,
            focusOnUpload ? ButtonChange::kUnchanged : ButtonChange::kDisable};
}
