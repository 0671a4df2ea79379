#include "update/Skyfetch.h"

#include "update/SkyfetchApp.h"

extern "C" {

bool CheckForUpdate(QWidget* parent, const char* version, const char* productName, const char* shortName) {
    return cva::update::CSkyfetchApp::Instance().CheckForUpdate(parent, version ? version : "",
                                                               productName ? productName : "",
                                                               shortName ? shortName : "");
}

int GetSetupFilePath(char* buffer, int length) {
    return cva::update::CSkyfetchApp::Instance().GetSetupFilePath(buffer, length);
}

}
