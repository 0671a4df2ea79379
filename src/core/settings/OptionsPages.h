#pragma once

#include <string>

namespace cva::settings {
class CSettingsStore;
}

// The pages of the options sheet in their order, and the stored bits they edit.
namespace cva::options {

enum EOptionsPage : int {
    PAGE_LOGGING = 0,
    PAGE_FOLDERS,
    PAGE_FAVORITES,
    PAGE_TREE,
    PAGE_USER,
    PAGE_MISC,
    PAGE_PROFILE,
    PAGE_TARGET,
    OPTIONS_PAGE_COUNT,
};

// "Logging", "Folders", ...; empty for an index out of range.
const char* OptionsPageCaption(int page);
// A stored folder ("PluginDir", "ProfileDir") without trailing slashes.
std::string StoredFolder(settings::CSettingsStore& settings, const char* name);

constexpr const char* kSettings = "Settings";
// "TreeStyle" and "Option5" are written under the lower-case spelling of the section.
constexpr const char* kSettingsLower = "settings";

constexpr int kTreeSingleExpand = 0x400; // expand the selected folder, collapse the others
constexpr int kTreeSingleClick = 0x200;  // one click expands a folder
constexpr int kTreeStyleDefault = kTreeSingleExpand | kTreeSingleClick;

constexpr int kOption5Warnings = 1; // warn when a critical page opens
constexpr int kOption5Confirm = 2;  // ask before a page applies
constexpr int kOption5Default = kOption5Warnings | kOption5Confirm;

} // namespace cva::options
