#pragma once

#include "platform/text/Unicode.h"

#include <string>

// UTF-8 views of results so failures print readably.
inline std::string U8(const std::u16string& s) { return cva::text::Utf16ToUtf8(s); }
inline std::u16string U16(const char* s) { return cva::text::Utf8ToUtf16(s); }
