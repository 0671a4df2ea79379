#pragma once

#include "core/app/UserPrompts.h"

#include <QDialog>

#include <array>
#include <functional>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace cva::gui {

class CHeaderBand;

// Asks for one or two text values under a header band with the title and description.
// Each line may have a browse button that fills it from a file or folder dialog, may be
// disabled, and may be required to be non-empty: OK then keeps the box open and says
// so. The second line is shown when it has a label.
class CInputBox : public QDialog {
public:
    static constexpr int kLines = 2;
    // Picks a path for a browse button; std::nullopt when cancelled.
    using Picker =
        std::function<std::optional<QString>(app::EInputBrowse mode, const QString& current)>;
    using Warn = std::function<void(const QString& text)>;

    explicit CInputBox(QWidget* parent = nullptr);
    CInputBox(const app::SInputBoxRequest& request, QWidget* parent);

    // Usable before and while the box is open; lines are 0 and 1.
    void SetTitle(const QString& title);
    void SetDescription(const QString& description);
    void SetLabel(int line, const QString& label);
    void SetValue(int line, const QString& value);
    void SetBrowseMode(int line, app::EInputBrowse mode);
    void SetMayBeEmpty(int line, bool mayBeEmpty);
    void SetLineDisabled(int line, bool disabled);
    QString Value(int line) const;

    // The dialogs the box opens; tests put their own in.
    void SetPicker(Picker picker) { m_picker = std::move(picker); }
    void SetWarn(Warn warn) { m_warn = std::move(warn); }

    CHeaderBand* Header() const { return m_pHeader; }
    QLineEdit* Field(int line) const;
    QPushButton* BrowseButton(int line) const;

    // OK: refused while a line that must be filled is empty.
    void accept() override;

private:
    struct SLine {
        QLabel* m_label = nullptr;
        QLineEdit* m_value = nullptr;
        QPushButton* m_browse = nullptr;
        app::EInputBrowse m_mode = app::EInputBrowse::None;
        bool m_mayBeEmpty = false;
        bool m_disabled = false;
    };
    static bool IsLine(int line) { return line >= 0 && line < kLines; }
    SLine& Line(int line) { return m_lines[static_cast<size_t>(line)]; }
    void SyncLine(int line);
    void Browse(int line);
    static std::optional<QString> PickWithDialogs(QWidget* parent, app::EInputBrowse mode,
                                                  const QString& current);

    CHeaderBand* m_pHeader = nullptr;
    std::array<SLine, kLines> m_lines{};
    Picker m_picker;
    Warn m_warn;
};

} // namespace cva::gui
