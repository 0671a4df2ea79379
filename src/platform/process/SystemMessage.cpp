#include "platform/process/SystemMessage.h"

namespace cva::process {

std::string FormatSystemMessage(uint32_t code) {
    // The errors our own platform calls give back.
    switch (code) {
    case 0:
        return "The operation completed successfully.";
    case 2:
        return "The system cannot find the file specified.";
    case 3:
        return "The system cannot find the path specified.";
    case 5:
        return "Access is denied.";
    case 6:
        return "The handle is invalid.";
    case 8:
        return "Not enough storage is available to process this command.";
    case 14:
        return "Not enough storage is available to complete this operation.";
    case 29:
        return "The system cannot write to the specified device.";
    case 30:
        return "The system cannot read from the specified device.";
    case 32:
        return "The process cannot access the file because it is being used by another process.";
    case 50:
        return "The request is not supported.";
    case 87:
        return "The parameter is incorrect.";
    case 112:
        return "There is not enough space on the disk.";
    case 122:
        return "The data area passed to a system call is too small.";
    case 161:
        return "The specified path is invalid.";
    case 183:
        return "Cannot create a file when that file already exists.";
    case 234:
        return "More data is available.";
    case 259:
        return "No more data is available.";
    case 1009:
        return "The configuration registry database is corrupt.";
    case 1010:
        return "The configuration registry key is invalid.";
    case 1011:
        return "The configuration registry key could not be opened.";
    case 1012:
        return "The configuration registry key could not be read.";
    case 1013:
        return "The configuration registry key could not be written.";
    case 1018:
        return "Illegal operation attempted on a registry key that has been marked for deletion.";
    case 1021:
        return "Cannot create a stable subkey under a volatile parent key.";
    case 1314:
        return "A required privilege is not held by the client.";
    default:
        return {};
    }
}

} // namespace cva::process
