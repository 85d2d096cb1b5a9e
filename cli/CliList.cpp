#include "cli/CliList.h"

#include "base/TextEscape.h"
#include "catalog/FileCatalog.h"
#include "cli/CliClient.h"
#include "cli/CliContext.h"
#include "cli/CliOutput.h"

int CliList::Run(const CliBoxLink* box) {
    const FileCatalog& catalog = box->catalog;
    char group[FileCatalog::kGroupNameSize];
    char name[FileCatalog::kFileNameSize];
    for (int g = 0; g < catalog.GroupCount(); ++g) {
        catalog.GetGroupName(g, group);
        for (int f = 0; f < catalog.FileCount(g); ++f) {
            int32_t type = 0;
            catalog.GetFile(g, f, name, &type);
            context_.output.Line("%s\t%s\t%d\n", EscapeControls(group).c_str(),
                                 EscapeControls(name).c_str(), static_cast<int>(type));
            context_.output.Listed(group, name, type);
        }
    }
    return CliClient::kExitOk;
}
