#include "core/script/HostProxy.h"

namespace cva::script {

int16_t CHost_Proxy::FindFileFirst(const std::string& /*strPath*/) {
    return 0;
}

int16_t CHost_Proxy::FindFileNext(int16_t /*index*/) {
    return 0;
}

void CHost_Proxy::FindFileClose(int16_t /*index*/) {
}

bool CHost_Proxy::FileExists(const std::string& /*strFile*/) {
    return false;
}

bool CHost_Proxy::FolderExists(const std::string& /*strFolder*/) {
    return false;
}

void CHost_Proxy::FolderDelete(const std::string& /*strFolder*/) {
}

void CHost_Proxy::FileDelete(const std::string& /*strFile*/) {
}

std::string CHost_Proxy::GetWinDir() {
    return {};
}

std::string CHost_Proxy::GetSysDir() {
    return {};
}

void CHost_Proxy::FileCopy(const std::string& /*strSrc*/, const std::string& /*strDest*/) {
}

void CHost_Proxy::FileMove(const std::string& /*strSrc*/, const std::string& /*strDst*/) {
}

void CHost_Proxy::FileSetAttribute(const std::string& /*strFile*/, const std::string& /*strAttr*/) {
}

void CHost_Proxy::IniWriteString(const std::string& /*strSection*/, const std::string& /*strKey*/, const std::string& /*strValue*/, const std::string& /*strFile*/) {
}

std::string CHost_Proxy::IniReadString(const std::string& /*strSection*/, const std::string& /*strKey*/, const std::string& /*strFile*/) {
    return {};
}

int32_t CHost_Proxy::FindFileIsFolder(int32_t /*index*/) {
    return 0;
}

void CHost_Proxy::FolderCreate(const std::string& /*strPath*/) {
}

void CHost_Proxy::TxtInsertLine(int32_t /*index*/, int16_t /*line*/, const std::string& /*strText*/) {
}

int16_t CHost_Proxy::TxtGetLineCount(int32_t /*index*/) {
    return 0;
}

void CHost_Proxy::TxtSetLine(int32_t /*index*/, int16_t /*line*/, const std::string& /*strText*/) {
}

void CHost_Proxy::TxtSave(int32_t /*index*/) {
}

void CHost_Proxy::TxtDeleteLine(int32_t /*index*/, int16_t /*line*/) {
}

std::string CHost_Proxy::TxtGetLine(int32_t /*index*/, int16_t /*line*/) {
    return {};
}

int16_t CHost_Proxy::TxtFindLine(int32_t /*index*/, const std::string& /*strText*/, bool /*bMatchCase*/) {
    return 0;
}

void CHost_Proxy::TxtClose(int32_t /*index*/) {
}

int32_t CHost_Proxy::TxtOpen(const std::string& /*strFile*/) {
    return 0;
}

std::string CHost_Proxy::ExpandSpecialPath(const std::string& /*strPath*/) {
    return {};
}

std::string CHost_Proxy::FindFileGetName(int16_t /*index*/) {
    return {};
}

bool CHost_Proxy::FolderEmpty(const std::string& /*strFolder*/) {
    return false;
}

vbs::Variant CHost_Proxy::RunFunction(const std::string& /*strFunc*/, const vbs::Variant& /*strArg*/) {
    return {};
}

} // namespace cva::script
