#include "core/script/HostProxy.h"

namespace cva::script {

void CHost_Proxy::RegDeleteKey(const std::string& /*strKey*/) {
}

void CHost_Proxy::RegDeleteVal(const std::string& /*strKey*/) {
}

bool CHost_Proxy::RegKeyExists(const std::string& /*strKey*/) {
    return false;
}

bool CHost_Proxy::RegValueExist(const std::string& /*strKey*/, const std::string& /*strVal*/) {
    return false;
}

std::string CHost_Proxy::RegReadValueS(const std::string& /*strKey*/) {
    return {};
}

int32_t CHost_Proxy::RegReadValueD(const std::string& /*strKey*/) {
    return 0;
}

void CHost_Proxy::RegWriteValS(const std::string& /*strKey*/, const std::string& /*strVal*/, const std::string& /*strData*/) {
}

void CHost_Proxy::RegWriteValD(const std::string& /*strKey*/, const std::string& /*strVal*/, int32_t /*strData*/) {
}

int16_t CHost_Proxy::RegOpenKey(const std::string& /*strKey*/) {
    return 0;
}

void CHost_Proxy::RegCloseKey(int16_t /*nkey*/) {
}

std::string CHost_Proxy::RegEnumKey(int16_t /*nkey*/, int16_t /*index*/) {
    return {};
}

std::string CHost_Proxy::RegEnumValue(int16_t /*nkey*/, int16_t /*index*/) {
    return {};
}

bool CHost_Proxy::RegValueExists(const std::string& /*strKey*/) {
    return false;
}

void CHost_Proxy::RegWriteValueS(const std::string& /*strKey*/, const std::string& /*strData*/) {
}

void CHost_Proxy::RegWriteValueD(const std::string& /*strKey*/, int32_t /*strData*/) {
}

std::string CHost_Proxy::RegReadValueB(const std::string& /*strKey*/) {
    return {};
}

void CHost_Proxy::RegWriteValueB(const std::string& /*strKey*/, const std::string& /*strData*/) {
}

int16_t CHost_Proxy::RegValueType(const std::string& /*strKey*/) {
    return 0;
}

int16_t CHost_Proxy::RegValCount(int16_t /*nkey*/) {
    return 0;
}

int16_t CHost_Proxy::RegKeyCount(int16_t /*nkey*/) {
    return 0;
}

void CHost_Proxy::RegWriteValueE(const std::string& /*strKey*/, const std::string& /*strData*/) {
}

vbs::Variant CHost_Proxy::RegReadValue(const std::string& /*strKey*/) {
    return {};
}

void CHost_Proxy::RegWriteValue(const std::string& /*strKey*/, const vbs::Variant& /*strValue*/, int32_t /*nType*/) {
}

void CHost_Proxy::RegRenameKey(const std::string& /*strHKey*/, const std::string& /*strKeyOld*/, const std::string& /*strKeyNew*/) {
}

void CHost_Proxy::RegBackupKey(const std::string& /*strKey*/) {
}

reg::HKEY CHost_Proxy::RootKeyFromName(const std::string& /*rootName*/) { return nullptr; }

} // namespace cva::script
