#include "platform/hive/RegfFile.h"

#include "platform/files/AtomicFile.h"
#include "platform/hive/WineRegFile.h"
#include "platform/registry/Hive.h"
#include "platform/text/Unicode.h"

#include <hivex.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <unistd.h>

namespace cva::hive {

using reg::CRegKey;

namespace {

// The keys our changes concern, as a tree of upper-cased names.
struct CTouched {
    std::map<std::u16string, CTouched> m_children;
};

struct CHiveCloser {
    void operator()(hive_h* h) const { hivex_close(h); }
};
using HivePtr = std::unique_ptr<hive_h, CHiveCloser>;

struct CFree {
    void operator()(void* p) const { std::free(p); }
};
template <class T> using CPtr = std::unique_ptr<T, CFree>;

class CRegfWriter {
public:
    CRegfWriter(hive_h* h, uint32_t minor, std::string& error)
        : m_h(h), m_minor(minor), m_error(error) {}

    bool Sync(const CRegKey& key, hive_node_h node, const CTouched& touched);

private:
    bool Fail(const std::string& why) {
        m_error = why;
        return false;
    }
    bool FailErrno(const std::string& what) {
        return Fail(what + ": " + std::strerror(errno ? errno : EIO));
    }
    // Only keys of this hive that live on disk are written.
    static bool Stored(const CRegKey& parent, const CRegKey& child) {
        return !child.m_volatile && child.Hive() == parent.Hive();
    }
    // The subkeys of a node by upper-cased name; false when hivex cannot give a name
    // (it could then not tell a new key from an old one).
    bool Children(hive_node_h node, std::map<std::u16string, hive_node_h>& children);
    bool SameValues(const CRegKey& key, hive_node_h node);
    bool WriteValues(const CRegKey& key, hive_node_h node);
    bool Add(const CRegKey& child, hive_node_h node);

    hive_h* m_h;
    uint32_t m_minor;
    std::string& m_error;
};

bool CRegfWriter::Children(hive_node_h node, std::map<std::u16string, hive_node_h>& children) {
    CPtr<hive_node_h> list(hivex_node_children(m_h, node));
    if (!list) return FailErrno("cannot list the subkeys of a key");
    for (size_t i = 0; list.get()[i]; ++i) {
        CPtr<char> name(hivex_node_name(m_h, list.get()[i]));
        if (!name) return FailErrno("cannot read the name of a key");
        children.emplace(text::ToUpper(text::Utf8ToUtf16(name.get())), list.get()[i]);
    }
    return true;
}

bool CRegfWriter::SameValues(const CRegKey& key, hive_node_h node) {
    CPtr<hive_value_h> list(hivex_node_values(m_h, node));
    if (!list) return false;
    size_t count = 0;
    for (; list.get()[count]; ++count) {
        if (count >= key.ValueCount()) return false;
        const reg::CRegValue& mine = key.ValueAt(count);
        CPtr<char> name(hivex_value_key(m_h, list.get()[count]));
        hive_type type;
        size_t length = 0;
        CPtr<char> data(hivex_value_value(m_h, list.get()[count], &type, &length));
        if (!name || !data || text::Utf8ToUtf16(name.get()) != mine.m_name ||
            static_cast<reg::DWORD>(type) != mine.m_type || length != mine.m_data.size() ||
            (length && std::memcmp(data.get(), mine.m_data.data(), length) != 0))
            return false;
    }
    return count == key.ValueCount();
}

bool CRegfWriter::WriteValues(const CRegKey& key, hive_node_h node) {
    if (key.ValueCount() == 0 && hivex_node_nr_values(m_h, node) == 0) return true;
    if (SameValues(key, node)) return true;
    std::vector<std::string> names(key.ValueCount());
    std::vector<hive_set_value> values(key.ValueCount());
    for (size_t i = 0; i < key.ValueCount(); ++i) {
        const reg::CRegValue& v = key.ValueAt(i);
        if (m_minor >= 4 && v.m_data.size() > kRegfMaxPlainValue)
            return Fail("the value \"" + text::Utf16ToUtf8(v.m_name) + "\" of the key \"" +
                        text::Utf16ToUtf8(key.Name()) + "\" holds " +
                        std::to_string(v.m_data.size()) +
                        " bytes; values longer than 16344 bytes cannot be written into a "
                        "Windows hive yet (Windows would not read them as written)");
        names[i] = text::Utf16ToUtf8(v.m_name);
        values[i].key = names[i].data();
        values[i].t = static_cast<hive_type>(v.m_type);
        values[i].len = v.m_data.size();
        values[i].value = reinterpret_cast<char*>(const_cast<uint8_t*>(v.m_data.data()));
    }
    if (hivex_node_set_values(m_h, node, values.size(), values.data(), 0) != 0)
        return FailErrno("cannot write the values of \"" + text::Utf16ToUtf8(key.Name()) + "\"");
    return true;
}

bool CRegfWriter::Add(const CRegKey& child, hive_node_h node) {
    hive_node_h added = hivex_node_add_child(m_h, node, text::Utf16ToUtf8(child.Name()).c_str());
    if (!added) return FailErrno("cannot add the key \"" + text::Utf16ToUtf8(child.Name()) + "\"");
    if (!WriteValues(child, added)) return false;
    for (const auto& grandChild : child.Subkeys())
        if (Stored(child, *grandChild) && !Add(*grandChild, added)) return false;
    return true;
}

bool CRegfWriter::Sync(const CRegKey& key, hive_node_h node, const CTouched& touched) {
    if (!WriteValues(key, node)) return false;
    std::map<std::u16string, hive_node_h> onDisk;
    if (!Children(node, onDisk)) return false;
    for (const auto& [upper, child] : onDisk) {
        auto mine = key.FindSubkey(upper);
        if (mine && Stored(key, *mine)) continue;
        if (hivex_node_delete_child(m_h, child) != 0)
            return FailErrno("cannot delete a key below \"" + text::Utf16ToUtf8(key.Name()) + "\"");
    }
    for (const auto& child : key.Subkeys()) {
        if (!Stored(key, *child)) continue;
        auto found = onDisk.find(child->UpperName());
        if (found == onDisk.end()) {
            if (!Add(*child, node)) return false;
            continue;
        }
        auto below = touched.m_children.find(child->UpperName());
        if (below != touched.m_children.end() && !Sync(*child, found->second, below->second))
            return false;
    }
    return true;
}

// A scratch file beside the hive for hivex to write into.
std::string ScratchName(const std::string& path) {
    size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    std::string name = folder + "." + path.substr(slash + 1) + ".XXXXXX";
    int fd = ::mkstemp(name.data());
    if (fd < 0) return {};
    ::close(fd);
    return name;
}

} // namespace

reg::LSTATUS SaveRegfChanges(const std::string& path, const CRegKey& root,
                             const std::vector<std::vector<std::u16string>>& touched,
                             const std::function<int()>& beforeRename, struct stat* written,
                             std::string& content, std::string& error) {
    CTouched tree;
    for (const auto& keyPath : touched) {
        CTouched* node = &tree;
        for (const auto& name : keyPath)
            node = &node->m_children[text::ToUpper(name)];
    }
    errno = 0;
    HivePtr h(hivex_open(path.c_str(), HIVEX_OPEN_WRITE));
    if (!h) {
        int err = errno ? errno : EIO;
        error = std::string("hivex cannot open it: ") + std::strerror(err);
        return err == ENOENT ? reg::ERROR_FILE_NOT_FOUND : reg::ERROR_BADDB;
    }
    std::string base;
    if (ReadFileContents(path, base) != 0 || base.size() < 28) {
        error = "cannot read it";
        return reg::ERROR_READ_FAULT;
    }
    uint32_t minor = static_cast<uint8_t>(base[24]) | (static_cast<uint8_t>(base[25]) << 8);
    if (!CRegfWriter(h.get(), minor, error).Sync(root, hivex_root(h.get()), tree))
        return reg::ERROR_CANTWRITE;

    std::string scratch = ScratchName(path);
    if (scratch.empty()) {
        int err = errno;
        error = std::string("cannot create a temporary file beside it: ") + std::strerror(err);
        return ErrnoToWin32(err);
    }
    int err = hivex_commit(h.get(), scratch.c_str(), 0) == 0 ? 0 : (errno ? errno : EIO);
    if (err == 0) err = ReadFileContents(scratch, content);
    ::unlink(scratch.c_str());
    if (err == 0) err = files::ReplaceFileContents(path, content, beforeRename, written);
    if (err != 0) {
        error = std::strerror(err);
        return ErrnoToWin32(err);
    }
    return reg::ERROR_SUCCESS;
}

} // namespace cva::hive
