#include "vbscript/runtime/Regex.h"

namespace cva::vbs::rt {

struct RegexProgram {
    std::size_t groupCount = 0;
};

CRegex::CRegex() : m_stepBudget(10'000'000) {}
CRegex::~CRegex() = default;
CRegex::CRegex(CRegex&&) noexcept = default;
CRegex& CRegex::operator=(CRegex&&) noexcept = default;

int CRegex::Compile(std::u16string_view, bool, bool) { m_program.reset(); return kRegexSyntaxError; }
bool CRegex::IsCompiled() const { return m_program != nullptr; }
std::size_t CRegex::GroupCount() const { return m_program ? m_program->groupCount : 0; }
bool CRegex::Search(std::u16string_view, std::size_t, RegexMatch& out) const { out = RegexMatch{}; return false; }
std::vector<RegexMatch> CRegex::FindAll(std::u16string_view, bool) const { return {}; }
std::u16string CRegex::Replace(std::u16string_view subject, std::u16string_view, bool) const { return std::u16string(subject); }
std::u16string CRegex::ExpandReplacement(std::u16string_view replacement, std::u16string_view,
                                         const RegexMatch&) const { return std::u16string(replacement); }
void CRegex::SetStepBudget(uint64_t steps) { m_stepBudget = steps; }
bool CRegex::BudgetExceeded() const { return m_budgetExceeded; }

} // namespace cva::vbs::rt
