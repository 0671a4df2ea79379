#pragma once

#include "cli/cli/CliPrompts.h"
#include "core/journal/JournalDiff.h"
#include "core/pages/PageSnapshot.h"

#include <string>
#include <vector>

namespace cva::app {
class CPluginCatalogue;
}

namespace cva::cli {

// What `show` and `apply` print: the page as the window shows it after the script ran.
struct SPageReport {
    std::string plugin;  // file name
    std::string kind;    // check, edit, radio, list, checklist, multi, html or none
    std::string header;
    int level = -1;
    pages::SPageSnapshot page;
    std::vector<SMessage> messages;
    std::string action;  // apply: what was pressed ("Apply", "button 1", "link 2")
    bool applied = false;
    int scriptErrors = 0;
    // apply --dry-run: what the apply would change.
    bool dryRun = false;
    std::vector<journal::SDiffChange> changes;
};

std::string CatalogueToText(const app::CPluginCatalogue& catalogue);
std::string CatalogueToJson(const app::CPluginCatalogue& catalogue, const std::string& view);

std::string ReportToText(const SPageReport& report);
std::string ReportToJson(const SPageReport& report);

using pages::JsonString;

} // namespace cva::cli
