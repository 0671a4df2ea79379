#pragma once

#include "vbscript/Object.h"
#include "vbscript/Variant.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace cva::vbs {

// The FileSystemObject's TextStream. A stream opened for reading holds the decoded
// text in memory (the files scripts read are settings files); one opened for writing
// or appending encodes as it goes into a buffer flushed on Close and when the last
// reference goes. ANSI text is the program's code page: UTF-8, read with the
// Windows-1252 fallback. Unicode is UTF-16LE with a byte-order mark.
class CTextStream : public IObject {
public:
    enum class Mode { Read = 1, Write = 2, Append = 8 };

    // How OpenTextFile / CreateTextFile / OpenAsTextStream want the file opened.
    struct OpenRequest {
        std::filesystem::path host;
        Mode mode = Mode::Read;
        bool unicode = false;
        bool create = false;    // make the file when it is missing
        bool overwrite = true;  // for CreateTextFile: 58 when false and it exists
    };
    static Status Open(const OpenRequest& request, Ref<CTextStream>& out);

    // Where a stream that is no file writes its bytes (a program's input); false when
    // they could not be delivered.
    using Sink = std::function<bool(std::string_view bytes)>;
    // A stream for reading that holds `text` (what a program wrote).
    static Ref<CTextStream> ForReading(std::u16string text);
    // An ANSI stream for writing that hands every Write to `sink` at once, and calls
    // `onClose` on Close.
    static Ref<CTextStream> ForWriting(Sink sink, std::function<void()> onClose);

    DispId GetMemberId(std::u16string_view name) override;
    Status Invoke(DispId id, uint32_t kind, std::span<Variant> args, Variant& result) override;
    std::u16string TypeName() const override { return u"TextStream"; }

protected:
    ~CTextStream() override;

private:
    struct FileCloser {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };

    CTextStream() = default;
    Status ReadChars(size_t count, std::u16string& out);
    Status ReadLine(std::u16string& out);
    Status Write(std::u16string_view text);
    Status Flush();
    Status Close();
    void Advance(std::u16string_view text);
    bool AtEnd() const { return m_pos >= m_text.size(); }
    Status NeedReading() const;
    Status NeedWriting() const;

    Mode m_mode = Mode::Read;
    bool m_unicode = false;
    bool m_closed = false;
    std::u16string m_text; // reading: the whole file
    size_t m_pos = 0;
    std::unique_ptr<std::FILE, FileCloser> m_file; // writing
    Sink m_sink;                                   // writing, when no file
    std::function<void()> m_onClose;
    std::string m_pending;                          // encoded bytes not yet written
    char16_t m_highSurrogate = 0;                   // first half of a pair split by Write
    int32_t m_line = 1;
    int32_t m_column = 1;
};

} // namespace cva::vbs
