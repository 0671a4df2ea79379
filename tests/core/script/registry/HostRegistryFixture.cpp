#include "HostRegistryFixture.h"

namespace cva::test {

std::unique_ptr<CTempDir> HostRegistryTest::s_dir;
std::unique_ptr<target::CTargetSystem> HostRegistryTest::s_target;

void HostRegistryTest::SetUpTestSuite() {
    s_dir = std::make_unique<CTempDir>();
    std::string error;
    s_target = target::CTargetSystem::Open("sandbox:" + s_dir->Path() + "/sandbox", error);
    ASSERT_TRUE(s_target) << error;
}

void HostRegistryTest::TearDownTestSuite() {
    s_target.reset();
    s_dir.reset();
}

void HostRegistryTest::SetUp() {
    ASSERT_TRUE(s_target);
    m_host = std::make_unique<script::CHost_Proxy>(*s_target, true);
    m_host->SetMainWindow(&m_owner);
}

void HostRegistryTest::TearDown() {
    m_host.reset();
    EXPECT_EQ(0, m_owner.m_prompts.m_messages) << "registry functions never show a message";
}

std::string HostRegistryTest::TestSubKey() const {
    return std::string("Software\\CvaTest\\") +
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
}

std::string HostRegistryTest::TestKey(const std::string& root) const {
    return root + "\\" + TestSubKey();
}

void HostRegistryTest::PutValue(reg::HKEY root, const std::string& subKey, const std::string& name,
                                reg::DWORD type, const std::string& data) {
    reg::HKEY key = nullptr;
    ASSERT_EQ(reg::ERROR_SUCCESS,
              Registry().RegCreateKeyExA(root, subKey.c_str(), 0, nullptr, 0, reg::KEY_ALL_ACCESS,
                                         nullptr, &key, nullptr));
    EXPECT_EQ(reg::ERROR_SUCCESS,
              Registry().RegSetValueExA(key, name.c_str(), 0, type,
                                        reinterpret_cast<const reg::BYTE*>(data.data()),
                                        static_cast<reg::DWORD>(data.size())));
    Registry().RegCloseKey(key);
}

std::optional<std::pair<reg::DWORD, std::string>>
HostRegistryTest::GetValue(reg::HKEY root, const std::string& subKey, const std::string& name) {
    reg::HKEY key = nullptr;
    if (Registry().RegOpenKeyExA(root, subKey.c_str(), 0, reg::KEY_READ, &key) !=
        reg::ERROR_SUCCESS)
        return std::nullopt;
    reg::DWORD type = 0, size = 0;
    std::optional<std::pair<reg::DWORD, std::string>> result;
    if (Registry().RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) ==
        reg::ERROR_SUCCESS) {
        std::string data(size, '\0');
        Registry().RegQueryValueExA(key, name.c_str(), nullptr, &type,
                                    reinterpret_cast<reg::BYTE*>(data.data()), &size);
        data.resize(size);
        result = std::make_pair(type, data);
    }
    Registry().RegCloseKey(key);
    return result;
}

bool HostRegistryTest::KeyExists(reg::HKEY root, const std::string& subKey) {
    reg::HKEY key = nullptr;
    if (Registry().RegOpenKeyExA(root, subKey.c_str(), 0, reg::KEY_READ, &key) !=
        reg::ERROR_SUCCESS)
        return false;
    Registry().RegCloseKey(key);
    return true;
}

} // namespace cva::test
