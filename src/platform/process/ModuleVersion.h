#pragma once

#include <cstdint>
#include <string>

namespace cva::process {

// The fixed part of a Windows version resource, kept so that callers read the version
// the way the program always has (dwFileVersionMS high and low word, then LS).
struct SFixedFileInfo {
    uint32_t dwSignature = 0;
    uint32_t dwStrucVersion = 0;
    uint32_t dwFileVersionMS = 0;
    uint32_t dwFileVersionLS = 0;
    uint32_t dwProductVersionMS = 0;
    uint32_t dwProductVersionLS = 0;
    uint32_t dwFileFlagsMask = 0;
    uint32_t dwFileFlags = 0;
    uint32_t dwFileOS = 0;
    uint32_t dwFileType = 0;
    uint32_t dwFileSubtype = 0;
    uint32_t dwFileDateMS = 0;
    uint32_t dwFileDateLS = 0;
};

// Reads the file version of an ELF executable or library from the note that
// cva_add_version_note (cmake/VersionNote.cmake) links into it: owner "Corvanta",
// type kNoteType, four 16-bit fields major, minor, patch, tweak.
class CModuleVersion : public SFixedFileInfo {
public:
    static constexpr uint32_t kNoteType = 0x5643; // "CV"
    static constexpr uint32_t kSignature = 0xFEEF04BD;

    virtual ~CModuleVersion() = default;

    // False when the file cannot be read, is not ELF, or carries no version note.
    bool GetFileVersionInfo(const std::string& path);
    bool IsValid() const { return dwSignature == kSignature; }
    uint16_t Field(int index) const; // 0 major ... 3 tweak
    std::string ToString() const;    // "major.minor.patch.tweak"
};

} // namespace cva::process
