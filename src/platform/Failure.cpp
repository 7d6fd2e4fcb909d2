#include "platform/Failure.h"

Failure makeFailure(int number)
{
    using namespace FailureNumber;
    const char* text = "Application-defined or object-defined error";
    switch (number) {
    case BadFileName: text = "Bad file name or number"; break;
    case FileNotFound: text = "File not found"; break;
    case DeviceIO: text = "Device I/O error"; break;
    case DiskFull: text = "Disk full"; break;
    case PermissionDenied: text = "Permission denied"; break;
    case PathFileAccess: text = "Path/File access error"; break;
    case PathNotFound: text = "Path not found"; break;
    case Cancel: text = "Cancel was selected."; break;
    }
    return Failure{number, QString::fromLatin1(text), {}, 0};
}
