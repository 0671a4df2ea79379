#include "core/app/PresetPage.h"

#include "core/pages/PropertyPageCheck.h"
#include "core/pages/PropertyPageEdit.h"
#include "core/pages/PropertyPageHtml.h"
#include "core/pages/PropertyPageList.h"
#include "core/pages/PropertyPageMulti.h"
#include "core/pages/PropertyPageRadio.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

namespace cva::app {

namespace fs = std::filesystem;

std::optional<std::string> ResolvePluginPath(const std::string& name, const std::string& pluginFolder) {
    std::vector<fs::path> candidates;
    if (name.find('/') != std::string::npos) {
        candidates.emplace_back(name);
    } else {
        candidates.emplace_back(fs::path(pluginFolder) / name);
        candidates.emplace_back(name);
        if (fs::path(name).extension() != ".cvp") candidates.emplace_back(fs::path(pluginFolder) / (name + ".cvp"));
    }
    for (const fs::path& candidate : candidates) {
        std::error_code ec;
        if (fs::is_regular_file(candidate, ec)) {
            fs::path absolute = fs::absolute(candidate, ec);
            return (ec ? candidate : absolute).lexically_normal().string();
        }
    }
    return std::nullopt;
}

bool PerformPresetAction(pages::CPropertyPageBase* page, const SPresetAction& action) {
    using EKind = SPresetAction::EKind;
    const int i = action.m_index;
    const int wanted = action.m_value == "1" ? 1 : 0;
    if (auto* check = dynamic_cast<pages::CPropertyPageCheck*>(page)) {
        if (action.m_kind != EKind::Check) return false;
        return check->IsItemChecked(i) == wanted || check->ClickItem(i);
    }
    if (auto* radio = dynamic_cast<pages::CPropertyPageRadio*>(page)) {
        // A radio button is cleared only by choosing another one.
        if (action.m_kind == EKind::Select || (action.m_kind == EKind::Check && wanted == 1))
            return radio->ClickItem(i);
        return false;
    }
    if (auto* edit = dynamic_cast<pages::CPropertyPageEdit*>(page)) {
        return action.m_kind == EKind::Text && edit->EditText(i, action.m_value);
    }
    if (auto* list = dynamic_cast<pages::CPropertyPageList*>(page)) {
        if (action.m_kind == EKind::Select) return list->SelectRow(i);
        if (action.m_kind == EKind::RowCheck) {
            if (!list->HasCheckBoxes() || i < 0 || i >= list->GetItemCount()) return false;
            return (list->IsItemChecked(i) != 0) == (wanted != 0) || list->ToggleRowCheck(i);
        }
        return false;
    }
    if (auto* multi = dynamic_cast<pages::CPropertyPageMulti*>(page)) {
        const pages::SPageSnapshot snapshot = multi->Snapshot();
        if (i < 0 || static_cast<size_t>(i) >= snapshot.m_items.size()) return false;
        const pages::SItemSnapshot& item = snapshot.m_items[static_cast<size_t>(i)];
        switch (action.m_kind) {
        case EKind::Check: return multi->ClickItemTo(i, wanted);
        case EKind::Select: return multi->ClickItem(i);
        case EKind::Text:
            // A slider takes its position as the user's drag and release would give it.
            if (item.m_kind == "slider") {
                char* end = nullptr;
                const long position = std::strtol(action.m_value.c_str(), &end, 10);
                return !action.m_value.empty() && *end == '\0' && multi->MoveSlider(i, static_cast<int>(position)) &&
                       multi->ReleaseSlider(i);
            }
            return multi->EditText(i, action.m_value);
        case EKind::Combo:
            for (size_t e = 0; e < item.m_entries.size(); ++e)
                if (item.m_entries[e] == action.m_value) return multi->SelectEntry(i, static_cast<int>(e));
            return multi->EditText(i, action.m_value);
        default: return false;
        }
    }
    return false;
}

bool PressPresetAction(pages::CPropertyPageBase* page, const SPresetAction& press) {
    if (press.m_kind == SPresetAction::EKind::Button) {
        auto* list = dynamic_cast<pages::CPropertyPageList*>(page);
        return list && list->ClickButton(press.m_index);
    }
    auto* html = dynamic_cast<pages::CPropertyPageHtml*>(page);
    return press.m_kind == SPresetAction::EKind::Link && html && html->IsWindowEnabled() &&
           html->ControlsEnabled() && html->FollowLink("cva:" + std::to_string(press.m_index));
}

} // namespace cva::app
