// The texts the component platform's system message table gives for the status codes the engine
// meets, so that logged provider errors read as they always have.
#include "Log.h"

#include <cstdio>
#include <unordered_map>

namespace velmora::log {

namespace {

// Status codes with a text of their own.
const std::unordered_map<uint32_t, const char*>& StatusTexts() {
    static const std::unordered_map<uint32_t, const char*> texts = {
        {0x00000000u, "The operation completed successfully."},
        {0x00000001u, "Incorrect function."},
        {0x80004001u, "Not implemented"},
        {0x80004002u, "No such interface supported"},
        {0x80004003u, "Invalid pointer"},
        {0x80004004u, "Operation aborted"},
        {0x80004005u, "Unspecified error"},
        {0x8000FFFFu, "Catastrophic failure"},
        {0x80020001u, "Unknown interface."},
        {0x80020003u, "Member not found."},
        {0x80020004u, "Parameter not found."},
        {0x80020005u, "Type mismatch."},
        {0x80020006u, "Unknown name."},
        {0x80020007u, "No named arguments."},
        {0x80020008u, "Bad variable type."},
        {0x80020009u, "Exception occurred."},
        {0x8002000Au, "Out of present range."},
        {0x8002000Bu, "Invalid index."},
        {0x8002000Cu, "Unknown language."},
        {0x8002000Du, "Memory is locked."},
        {0x8002000Eu, "Invalid number of parameters."},
        {0x8002000Fu, "Parameter not optional."},
        {0x80020010u, "Invalid callee."},
        {0x80020011u, "Does not support a collection."},
        {0x80020012u, "Division by zero."},
        {0x80040110u, "Class does not support aggregation (or class object is remote)"},
        {0x80040111u, "ClassFactory cannot supply requested class"},
        {0x80040150u, "Could not read key from registry"},
        {0x80040154u, "Class not registered"},
        {0x800401F0u, "CoInitialize has not been called."},
        {0x800401F3u, "Invalid class string"},
    };
    return texts;
}

// System error numbers (reported alone or as status codes 0x8007xxxx) with their texts.
const std::unordered_map<uint32_t, const char*>& SystemErrorTexts() {
    static const std::unordered_map<uint32_t, const char*> texts = {
        {1, "Incorrect function."},
        {2, "The system cannot find the file specified."},
        {3, "The system cannot find the path specified."},
        {4, "The system cannot open the file."},
        {5, "Access is denied."},
        {6, "The handle is invalid."},
        {8, "Not enough memory resources are available to process this command."},
        {13, "The data is invalid."},
        {14, "Not enough storage is available to complete this operation."},
        {15, "The system cannot find the drive specified."},
        {16, "The directory cannot be removed."},
        {17, "The system cannot move the file to a different disk drive."},
        {18, "There are no more files."},
        {19, "The media is write protected."},
        {21, "The device is not ready."},
        {23, "Data error (cyclic redundancy check)."},
        {29, "The system cannot write to the specified device."},
        {30, "The system cannot read from the specified device."},
        {31, "A device attached to the system is not functioning."},
        {32, "The process cannot access the file because it is being used by another process."},
        {33, "The process cannot access the file because another process has locked a portion "
             "of the file."},
        {38, "Reached the end of the file."},
        {50, "The request is not supported."},
        {53, "The network path was not found."},
        {67, "The network name cannot be found."},
        {80, "The file exists."},
        {82, "The directory or file cannot be created."},
        {87, "The parameter is incorrect."},
        {110, "The system cannot open the device or file specified."},
        {112, "There is not enough space on the disk."},
        {122, "The data area passed to a system call is too small."},
        {123, "The filename, directory name, or volume label syntax is incorrect."},
        {126, "The specified module could not be found."},
        {127, "The specified procedure could not be found."},
        {145, "The directory is not empty."},
        {183, "Cannot create a file when that file already exists."},
        {998, "Invalid access to memory location."},
        {1117, "The request could not be performed because of an I/O device error."},
        {1168, "Element not found."},
        {1223, "The operation was canceled by the user."},
        {1460, "This operation returned because the timeout period expired."},
    };
    return texts;
}

constexpr uint32_t kWin32Facility = 0x80070000u;
constexpr uint32_t kFirstDispatchError = 0x80040200u;
constexpr uint32_t kLastDispatchError = 0x8004FFFFu;

std::string WithoutTrailingLineBreak(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

} // namespace

std::string SystemMessage(int32_t hresult) {
    const auto code = static_cast<uint32_t>(hresult);

    const auto& statusTexts = StatusTexts();
    if (auto it = statusTexts.find(code); it != statusTexts.end())
        return WithoutTrailingLineBreak(it->second);

    const auto& systemTexts = SystemErrorTexts();
    const bool isSystemError = code < 0x10000u || (code & 0xFFFF0000u) == kWin32Facility;
    if (auto it = systemTexts.find(code & 0xFFFFu); isSystemError && it != systemTexts.end())
        return WithoutTrailingLineBreak(it->second);

    char text[64];
    if (code >= kFirstDispatchError && code <= kLastDispatchError)
        std::snprintf(text, sizeof text, "IDispatch error #%d",
                      static_cast<int>(code - kFirstDispatchError));
    else
        std::snprintf(text, sizeof text, "Unknown error 0x%0X", code);
    return text;
}

std::string ComposeComErrorMessage(int32_t hresult, const std::string& description,
                                   const std::string& source) {
    return description + "\t(Source=" + source + ",\tMessage=" + SystemMessage(hresult) + ")";
}

} // namespace velmora::log
