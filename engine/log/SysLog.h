#pragma once
// The engine's log object: appends dated entries to a log file in the log directory and deletes
// the file again. The engine's own failures are logged through velmora::log::LogError; this
// object offers the same to callers.
#include <string>

#include "engine/com/CoClass.h"
#include "engine/com/generated/ClassInfos.h"
#include "engine/com/generated/InterfaceStubs.h"

namespace velmora::engine {

class CSysLog : public CoClass<ISysLogStub, classes::SysLog> {
  public:
    // The log file's name relative to the log directory; empty for a new object.
    HRESULT STDMETHODCALLTYPE get_LogFileName(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_LogFileName(BSTR newVal) override;
    // Appends one entry; a file that cannot be written fails with the file system's message.
    HRESULT STDMETHODCALLTYPE Log(LONG errCode, BSTR source, BSTR Description) override;
    // Deletes the log file; "Can't open <path>" when there is none.
    HRESULT STDMETHODCALLTYPE Clear() override;

  private:
    std::string logFileName_;
};

} // namespace velmora::engine
