#include "gui/window/ApplicationWindow.h"

#include <gtest/gtest.h>

namespace cva::gui {
namespace {

TEST(UpdateCommand, TheFourthFieldIsThePluginVersion) {
    EXPECT_EQ(UpdateVersionText((2u << 16) | 1u, (5u << 16) | 77u, 3), "2.1.5.3");
    EXPECT_EQ(UpdateVersionText((2u << 16) | 1u, (5u << 16) | 77u, 0), "2.1.5.0");
}

} // namespace
} // namespace cva::gui
