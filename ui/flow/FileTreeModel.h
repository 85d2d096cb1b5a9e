#pragma once
// What the two file trees show, worked out from the catalogue without any
// window: the main window turns it into tree items.
#include <string>
#include <vector>

class FileCatalog;

struct TreeFileItem {
    std::string name;
    int image = 0;
};

struct TreeGroupItem {
    std::string name;
    bool expanded = false;
    std::vector<TreeFileItem> files;
};

using FileTreeModel = std::vector<TreeGroupItem>;

namespace tree_image {
// The trees' image list: the group picture, then one picture per file type
// 0, 1 and 2 (a file's image is its type).
constexpr int kGroup = 0;
constexpr int kTypeCount = 3;
}  // namespace tree_image

// True for the file types that have a picture of their own: 0, 1 and 2.
bool HasTypeImage(int type);

// Every group and every file of the catalogue, in catalogue order; a file whose
// type has no picture shows image 0.
FileTreeModel BuildBoxTree(const FileCatalog& catalog);

// Every group of the catalogue, with those of its files that have a pictured
// type, a plain file name and a readable file of that name in the working
// directory. The group of the file named `expandName` (when given) is expanded.
FileTreeModel BuildLocalTree(const FileCatalog& catalog, const char* expandName = nullptr);

// Whether two models show the same groups and files, however expanded.
bool SameFiles(const FileTreeModel& a, const FileTreeModel& b);

// A file of that name, relative to the working directory, opens for reading.
bool FileExists(const char* name);
