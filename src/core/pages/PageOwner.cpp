#include "core/pages/PageOwner.h"

#include "core/app/UserPrompts.h"

namespace cva::pages {

bool AskConfirmApply(app::IUserPrompts* prompts, unsigned int option5) {
    if ((option5 & kOption5ConfirmApply) == 0 || prompts == nullptr) return true;
    int answer = prompts->MessageBox(kConfirmApplyQuestion, app::kAppTitle,
                                     app::MB_YESNO | app::MB_ICONQUESTION);
    return answer != app::IDNO;
}

} // namespace cva::pages
