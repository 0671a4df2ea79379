#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace cva::app {
class IUserPrompts;
}

namespace cva::pages {

// What a page needs of the window that embeds it. The page decides when to apply and
// with which arguments; the owner asks the user, runs the plugin's script and keeps the
// history.
class IPageOwner {
public:
    virtual ~IPageOwner() = default;

    // False when the user declined the confirmation question (the owner asks only when
    // its confirm-before-apply option is on).
    virtual bool ConfirmApply() = 0;
    // Runs a routine of the open plugin's script; its result and errors are the
    // script host's business, never the page's.
    virtual void CallRoutine(const std::string& name, const std::vector<int32_t>& args) = 0;
    // The after-apply step: records the open plugin as applied.
    virtual void RecordApplied() = 0;
    // Message boxes and the file and folder pickers of the browse buttons; nullptr
    // when nobody can be asked (the browse buttons then do nothing).
    virtual app::IUserPrompts* Prompts() = 0;

    // The start page: the catalogue index of a plugin file name (file name only), and
    // opening that entry when the user picks a row.
    virtual std::optional<int> FindCatalogueEntry(const std::string& fileName) {
        (void)fileName;
        return std::nullopt;
    }
    virtual void OpenCatalogueEntry(int index) { (void)index; }
};

// The question of the confirm-before-apply option, and the bit of "Option5" that turns
// it on.
constexpr const char* kConfirmApplyQuestion =
    "Are you sure you want to apply the tweaks in this page ? ";
constexpr unsigned int kOption5ConfirmApply = 0x2;

// The owner's ConfirmApply for a given "Option5" value: asks with Yes and No and the
// question icon when the option is on; only an explicit No stops the apply.
bool AskConfirmApply(app::IUserPrompts* prompts, unsigned int option5);

} // namespace cva::pages
