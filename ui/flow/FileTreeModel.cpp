#include "ui/flow/FileTreeModel.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "base/StdioFile.h"
#include "box/PlainFileName.h"
#include "catalog/FileCatalog.h"

namespace {

template <typename Keep>
FileTreeModel BuildTree(const FileCatalog& catalog, Keep keep, const char* expandName) {
    FileTreeModel tree;
    for (int g = 0; g < catalog.GroupCount(); ++g) {
        TreeGroupItem group;
        char groupName[FileCatalog::kGroupNameSize] = {};
        catalog.GetGroupName(g, groupName);
        group.name = groupName;
        for (int f = 0; f < catalog.FileCount(g); ++f) {
            char name[FileCatalog::kFileNameSize] = {};
            int32_t type = 0;
            catalog.GetFile(g, f, name, &type);
            if (!keep(name, type)) {
                continue;
            }
            group.files.push_back({name, HasTypeImage(type) ? type : tree_image::kGroup});
            if (expandName != nullptr && std::strcmp(name, expandName) == 0) {
                group.expanded = true;
            }
        }
        tree.push_back(std::move(group));
    }
    return tree;
}

}  // namespace

bool HasTypeImage(int type) {
    return type >= 0 && type < tree_image::kTypeCount;
}

FileTreeModel BuildBoxTree(const FileCatalog& catalog) {
    return BuildTree(
        catalog, [](const char*, int32_t) { return true; }, nullptr);
}

FileTreeModel BuildLocalTree(const FileCatalog& catalog, const char* expandName) {
    // A listed name is used as a path only when it is a plain file name: a
    // box listing "../x" must not make the window read outside its folder.
    const auto keep = [](const char* name, int32_t type) {
        return HasTypeImage(type) && IsPlainFileName(name) && FileExists(name);
    };
    return BuildTree(catalog, keep, expandName);
}

bool FileExists(const char* name) {
    StdioFile file(name, "rb");
    std::error_code error;
    // A folder opens for reading on some systems, but it is no file.
    return file.IsOpen() && !std::filesystem::is_directory(name, error);
}

bool SameFiles(const FileTreeModel& a, const FileTreeModel& b) {
    const auto sameFile = [](const TreeFileItem& x, const TreeFileItem& y) {
        return x.name == y.name && x.image == y.image;
    };
    const auto sameGroup = [&](const TreeGroupItem& x, const TreeGroupItem& y) {
        return x.name == y.name &&
               std::equal(x.files.begin(), x.files.end(), y.files.begin(), y.files.end(), sameFile);
    };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), sameGroup);
}
