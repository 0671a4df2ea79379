#include "platform/registry/Registry.h"

#include "platform/hive/HiveFile.h"
#include "platform/text/Unicode.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace cva::reg {

namespace {

constexpr int kMaxLinkDepth = 16;
constexpr uintptr_t kHandleStep = 4;
constexpr std::u16string_view kLinkValueName = u"SymbolicLinkValue";

std::u16string_view Parent(std::u16string_view path, std::u16string_view& last) {
    size_t pos = path.rfind(u'\\');
    if (pos == std::u16string_view::npos) {
        last = path;
        return {};
    }
    last = path.substr(pos + 1);
    return path.substr(0, pos);
}

} // namespace

CRegistry::CRegistry() : m_top(std::make_shared<CRegKey>(u"REGISTRY", nullptr, nullptr)) {
    bool created;
    m_top->AddSubkey(u"Machine", created);
    m_top->AddSubkey(u"User", created);
    SetCurrentUserSid(kDefaultUserSid);
}

CRegistry::~CRegistry() {
    if (m_saveOnClose) SaveDirtyHives();
    // What this program loaded and did not unload stays loaded, now held by nobody.
    for (const auto& hive : m_hives) {
        const CRegKey* parent = hive->Root()->Parent();
        if (hive->m_loadedByCaller && parent)
            NoteLoad(parent->UpperName() == u"USER" ? HKEY_USERS : HKEY_LOCAL_MACHINE,
                     hive->Root()->Name(), hive->Path(), true);
    }
}

void CRegistry::SetCurrentUserSid(std::u16string_view sid) {
    m_userSid.assign(sid);
    bool created;
    auto users = m_top->FindSubkey(u"USER");
    if (users && !users->FindSubkey(text::ToUpper(sid))) users->AddSubkey(sid, created);
}

// ------------------------------------------------------------------------------------
// Handles

std::u16string CRegistry::PredefinedPath(HKEY key) const {
    if (key == HKEY_LOCAL_MACHINE) return u"Machine";
    if (key == HKEY_USERS) return u"User";
    if (key == HKEY_CURRENT_USER) return u"User\\" + m_userSid;
    if (key == HKEY_CLASSES_ROOT) return u"Machine\\Software\\Classes";
    if (key == HKEY_CURRENT_CONFIG)
        return u"Machine\\System\\CurrentControlSet\\Hardware Profiles\\Current";
    return {};
}

HKEY CRegistry::NewHandle(KeyPtr key, REGSAM access) {
    size_t index;
    if (!m_freeHandles.empty()) {
        index = m_freeHandles.back();
        m_freeHandles.pop_back();
        m_handles[index] = CHandle{std::move(key), access};
    } else {
        index = m_handles.size();
        m_handles.push_back(CHandle{std::move(key), access});
    }
    return reinterpret_cast<HKEY>((index + 1) * kHandleStep);
}

REGSAM CRegistry::MapAccess(REGSAM sam, bool readOnly) {
    REGSAM mapped = sam & ~(GENERIC_READ | GENERIC_WRITE | GENERIC_ALL | MAXIMUM_ALLOWED |
                            KEY_WOW64_32KEY | KEY_WOW64_64KEY);
    if (sam & GENERIC_READ) mapped |= KEY_READ;
    if (sam & GENERIC_WRITE) mapped |= KEY_WRITE;
    if (sam & GENERIC_ALL) mapped |= KEY_ALL_ACCESS;
    if (sam & MAXIMUM_ALLOWED) mapped |= readOnly ? KEY_READ : KEY_ALL_ACCESS;
    return mapped;
}

bool CRegistry::Writable(const CRegKey& key) {
    return !key.Hive() || !key.Hive()->m_readOnly;
}

LSTATUS CRegistry::KeyFromHandle(HKEY key, REGSAM needed, KeyPtr& out) {
    auto value = reinterpret_cast<uintptr_t>(key);
    if (value >= 0x80000000u) {
        std::u16string path = PredefinedPath(key);
        if (path.empty()) return ERROR_INVALID_HANDLE;
        LSTATUS rc = Walk(m_top, path, false, false, out, nullptr);
        if (rc != ERROR_SUCCESS) return rc;
        if ((needed & KEY_MODIFY_RIGHTS) && !Writable(*out)) return Refuse(*out);
        return ERROR_SUCCESS;
    }
    if (value == 0 || value % kHandleStep != 0) return ERROR_INVALID_HANDLE;
    size_t index = value / kHandleStep - 1;
    if (index >= m_handles.size() || !m_handles[index].m_key) return ERROR_INVALID_HANDLE;
    const CHandle& h = m_handles[index];
    if (h.m_key->IsDeleted()) return ERROR_KEY_DELETED;
    if ((h.m_access & needed) != needed) return ERROR_ACCESS_DENIED;
    if ((needed & KEY_MODIFY_RIGHTS) && !Writable(*h.m_key)) return Refuse(*h.m_key);
    out = h.m_key;
    return ERROR_SUCCESS;
}

size_t CRegistry::OpenHandleCount() const {
    return static_cast<size_t>(std::count_if(m_handles.begin(), m_handles.end(),
                                             [](const CHandle& h) { return h.m_key != nullptr; }));
}

bool CRegistry::HandlesOpenBelow(const CRegKey& key) const {
    for (const auto& h : m_handles)
        if (h.m_key && h.m_key.get() != &key && !h.m_key->IsDeleted() &&
            key.Contains(h.m_key.get()))
            return true;
    return false;
}

LSTATUS CRegistry::RegCloseKey(HKEY key) {
    auto value = reinterpret_cast<uintptr_t>(key);
    if (value >= 0x80000000u)
        return PredefinedPath(key).empty() ? ERROR_INVALID_HANDLE : ERROR_SUCCESS;
    if (value == 0 || value % kHandleStep != 0) return ERROR_INVALID_HANDLE;
    size_t index = value / kHandleStep - 1;
    if (index >= m_handles.size() || !m_handles[index].m_key) return ERROR_INVALID_HANDLE;
    m_handles[index] = CHandle{};
    m_freeHandles.push_back(index);
    return ERROR_SUCCESS;
}

// ------------------------------------------------------------------------------------
// Paths and links

LSTATUS CRegistry::FollowLink(const CRegKey& link, bool create, KeyPtr& out, int linkDepth) {
    if (linkDepth >= kMaxLinkDepth) return ERROR_BADKEY;
    const CRegValue* target = link.FindValue(kLinkValueName);
    if (!target || target->m_type != REG_LINK) return ERROR_FILE_NOT_FOUND;
    std::u16string path(target->m_data.size() / 2, u'\0');
    for (size_t i = 0; i < path.size(); ++i)
        path[i] = static_cast<char16_t>(target->m_data[2 * i] | (target->m_data[2 * i + 1] << 8));
    while (!path.empty() && path.back() == 0)
        path.pop_back();
    constexpr std::u16string_view prefix = u"\\REGISTRY\\";
    if (path.size() < prefix.size() ||
        !text::EqualsNoCase(std::u16string_view(path).substr(0, prefix.size()), prefix))
        return ERROR_FILE_NOT_FOUND;
    return Walk(m_top, std::u16string_view(path).substr(prefix.size()), create, false, out, nullptr,
                linkDepth + 1);
}

LSTATUS CRegistry::Walk(KeyPtr start, std::u16string_view path, bool create, bool openLink,
                        KeyPtr& out, bool* created, int linkDepth) {
    if (created) *created = false;
    if (!path.empty() && path.front() == u'\\') return ERROR_BAD_PATHNAME;
    while (!path.empty() && path.back() == u'\\')
        path.remove_suffix(1);
    KeyPtr cur = std::move(start);
    std::u16string upper;
    size_t pos = 0;
    while (pos <= path.size()) {
        size_t end = path.find(u'\\', pos);
        if (end == std::u16string_view::npos) end = path.size();
        std::u16string_view part = path.substr(pos, end - pos);
        pos = end + 1;
        if (part.empty()) {
            if (end == path.size()) break;
            continue;
        }
        if (part.size() > kMaxKeyNameLength) return ERROR_INVALID_PARAMETER;
        if (cur->IsDeleted()) return ERROR_KEY_DELETED;
        upper = text::ToUpper(part);
        KeyPtr next = cur->FindSubkey(upper);
        if (!next) {
            if (!create) return ERROR_FILE_NOT_FOUND;
            if (!Writable(*cur)) return Refuse(*cur);
            if (cur->m_volatile) return ERROR_CHILD_MUST_BE_VOLATILE;
            if (cur->Depth() + 1 > kMaxKeyDepth) return ERROR_INVALID_PARAMETER;
            bool isNew;
            next = cur->AddSubkey(part, isNew);
            next->m_lastWrite = CurrentFileTime();
            if (IRegistryRecorder* recorder = RecorderFor(*next)) recorder->KeyCreated(RecordedPath(*next));
            Touch(*cur);
            if (created) *created = true;
        } else if (next->m_isLink && !(openLink && pos > path.size())) {
            KeyPtr target;
            LSTATUS rc = FollowLink(*next, create, target, linkDepth);
            if (rc != ERROR_SUCCESS) return rc;
            next = target;
        }
        cur = std::move(next);
    }
    out = std::move(cur);
    return ERROR_SUCCESS;
}

LSTATUS CRegistry::Locate(HKEY key, std::u16string_view subKey, bool create, bool openLink,
                          KeyPtr& out, bool* created) {
    auto value = reinterpret_cast<uintptr_t>(key);
    if (value >= 0x80000000u) {
        std::u16string path = PredefinedPath(key);
        if (path.empty()) return ERROR_INVALID_HANDLE;
        if (!subKey.empty() && subKey.front() == u'\\') return ERROR_BAD_PATHNAME;
        if (key == HKEY_CLASSES_ROOT && !m_userClasses.empty() && !subKey.empty()) {
            LSTATUS rc = Walk(m_top, m_userClasses + u"\\" + std::u16string(subKey), false,
                              openLink, out, created);
            if (rc == ERROR_SUCCESS) return rc;
        }
        // The roots below HKLM and HKU are reached as one path so that a root missing
        // from a young hive (HKCR, HKCC) comes into being with the key created below it.
        if (create) {
            KeyPtr root;
            LSTATUS rc = Walk(m_top, path, false, false, root, nullptr);
            if (rc == ERROR_FILE_NOT_FOUND) {
                path.push_back(u'\\');
                path.append(subKey);
                return Walk(m_top, path, true, openLink, out, created);
            }
            if (rc != ERROR_SUCCESS) return rc;
            return Walk(root, subKey, true, openLink, out, created);
        }
        path.push_back(u'\\');
        path.append(subKey);
        return Walk(m_top, path, false, openLink, out, created);
    }
    KeyPtr start;
    LSTATUS rc = KeyFromHandle(key, 0, start);
    if (rc != ERROR_SUCCESS) return rc;
    return Walk(start, subKey, create, openLink, out, created);
}

void CRegistry::Touch(CRegKey& key) {
    key.m_lastWrite = CurrentFileTime();
    if (key.Hive() && !key.m_volatile) key.Hive()->m_dirty = true;
}

// ------------------------------------------------------------------------------------
// Hives

LSTATUS CRegistry::MountHiveFile(std::u16string_view mountPath, const std::string& file,
                                 const CMountOptions& options, std::string* error) {
    std::u16string_view name;
    std::u16string_view parentPath = Parent(mountPath, name);
    if (name.empty()) return ERROR_INVALID_PARAMETER;
    KeyPtr parent;
    LSTATUS rc = Walk(m_top, parentPath, true, false, parent, nullptr);
    if (rc != ERROR_SUCCESS) return rc;

    auto root = std::make_shared<CRegKey>(std::u16string(name), nullptr, nullptr);
    auto hive = std::make_unique<CHive>(file, root);
    root->SetHive(hive.get());
    std::string message;
    hive::CLoadedHive loaded;
    rc = hive::LoadHiveFile(file, *root, hive->m_header, loaded, message, &hive->m_version);
    if (rc == ERROR_FILE_NOT_FOUND && options.m_allowMissing) {
        hive->m_header.m_rootComment = options.m_rootComment;
        hive->m_header.m_arch = options.m_arch;
        root->m_lastWrite = CurrentFileTime();
    } else if (rc != ERROR_SUCCESS) {
        if (error) *error = message;
        return rc;
    }
    hive->m_format = loaded.m_format;
    hive->m_maxValueSize = loaded.m_maxValueSize;
    hive->m_readOnly = options.m_readOnly || !loaded.m_readOnlyReason.empty();
    hive->m_readOnlyReason =
        options.m_readOnly ? options.m_readOnlyReason : loaded.m_readOnlyReason;
    if (!hive->m_readOnly) {
        size_t slash = file.find_last_of('/');
        std::string folder(slash == std::string::npos
                               ? std::string_view(".")
                               : std::string_view(file).substr(0, slash == 0 ? 1 : slash));
        bool exists = access(file.c_str(), F_OK) == 0;
        if (exists && access(file.c_str(), W_OK) != 0) {
            hive->m_readOnly = true;
            hive->m_readOnlyReason = file + " is not writable";
        } else if (access(folder.c_str(), F_OK) == 0 && access(folder.c_str(), W_OK) != 0) {
            // The atomic save puts a temporary file beside the hive.
            hive->m_readOnly = true;
            hive->m_readOnlyReason = "the folder " + folder + " is not writable";
        }
    }

    if (KeyPtr old = parent->FindSubkey(text::ToUpper(name))) {
        parent->DetachSubkey(old.get());
        old->MarkDeletedTree();
        m_hives.erase(
            std::remove_if(m_hives.begin(), m_hives.end(),
                           [&](const std::unique_ptr<CHive>& h) { return h->Root() == old; }),
            m_hives.end());
    }
    parent->AttachSubkey(root);
    m_hives.push_back(std::move(hive));
    return ERROR_SUCCESS;
}

LSTATUS CRegistry::SaveDirtyHives(std::vector<std::string>* errors) {
    LSTATUS first = ERROR_SUCCESS;
    for (auto& hive : m_hives) {
        std::string message;
        LSTATUS rc = SaveHive(*hive, &message);
        if (rc != ERROR_SUCCESS) {
            if (first == ERROR_SUCCESS) first = rc;
            if (errors) errors->push_back(message);
        }
    }
    return first;
}

bool CRegistry::HasDirtyHives() const {
    return std::any_of(m_hives.begin(), m_hives.end(), [](const auto& h) { return h->m_dirty; });
}

bool CRegistry::IsReadOnly(HKEY key, std::string* reason) {
    KeyPtr k;
    if (KeyFromHandle(key, 0, k) != ERROR_SUCCESS || !k->Hive()) return false;
    if (reason) *reason = k->Hive()->m_readOnlyReason;
    return k->Hive()->m_readOnly;
}

CHive* CRegistry::HiveOwningRoot(const CRegKey* key) const {
    for (const auto& h : m_hives)
        if (h->Root().get() == key) return h.get();
    return nullptr;
}

} // namespace cva::reg
