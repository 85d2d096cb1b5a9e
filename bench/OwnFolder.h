#pragma once
// The folder of the running bench program: the programs it measures are
// built beside it.
#include <filesystem>

std::filesystem::path OwnFolder();
