#pragma once

namespace cva::app {

// Who makes the program and where users find it; the start page, the information
// sheet and the Help menu all point to the same places.
inline constexpr const char* kMakerName = "Meridot";
inline constexpr const char* kMakerWebsite = "https://www.meridot.example/corvanta/";
inline constexpr const char* kMakerSupport = "https://www.meridot.example/corvanta/help/";

} // namespace cva::app
