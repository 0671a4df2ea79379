#pragma once

#include <array>
#include <cstddef>

namespace cva::gui {

// The edit and multi templates give their five labelled items the same identifiers:
// the label, the field (on the multi page the placeholder its input control covers) and
// the browse button beside it.
struct SLabelledItemIds {
    static constexpr int kItems = 5;
    static constexpr std::array<int, kItems> kLabelIds = {1021, 1027, 1028, 1026, 1029};
    static constexpr std::array<int, kItems> kFieldIds = {1042, 1043, 1044, 1045, 1046};
    static constexpr std::array<int, kItems> kBrowseIds = {1052, 1053, 1054, 1055, 1056};

    // One widget of an item's row, or nullptr for an index outside the five items.
    template <typename Row, typename Widget>
    static Widget* At(const std::array<Row, kItems>& rows, int index, Widget* Row::*member) {
        return index >= 0 && index < kItems ? rows[static_cast<std::size_t>(index)].*member : nullptr;
    }
};

} // namespace cva::gui
