#include "Summary.h"

#include <cstdio>
#include <string>
#include <vector>

#include <velmora/ComSupport.h>
#include <velmora/Velmora.h>

using velmora::com::Bstr;
using velmora::com::ComPtr;

namespace {

// The description the engine left for the failed call, or the status code when it left none.
std::string LastError(HRESULT status) {
    IErrorInfo* raw = nullptr;
    if (GetErrorInfo(0, &raw) == S_OK && raw) {
        auto info = ComPtr<IErrorInfo>::Adopt(raw);
        Bstr description;
        if (SUCCEEDED(info->GetDescription(description.Put())) && description.Length())
            return description.Utf8();
    }
    char code[32];
    std::snprintf(code, sizeof code, "status 0x%08X", static_cast<unsigned>(status));
    return code;
}

bool Check(HRESULT status, const char* what) {
    if (SUCCEEDED(status)) return true;
    std::fprintf(stderr, "velmora: %s failed: %s\n", what, LastError(status).c_str());
    return false;
}

// The four lookup lists share their members but not their interface, so each is read through
// the same two calls.
template <class List> bool PrintList(const char* caption, List* list) {
    LONG count = 0;
    if (!Check(list->get_Count(&count), caption)) return false;
    std::printf("%s (%d):", caption, count);
    for (LONG i = 0; i < count; ++i) {
        Bstr name;
        if (!Check(list->get_Item(i, name.Put()), caption)) return false;
        std::printf("%s %s", i ? "," : "", name.Utf8().c_str());
    }
    std::printf("\n");
    return true;
}

template <class List>
bool PrintSessionList(IExeContext* session, HRESULT (IExeContext::*getter)(List**),
                      const char* caption) {
    ComPtr<List> list;
    if (!Check((session->*getter)(list.Put()), caption)) return false;
    return PrintList(caption, list.Get());
}

} // namespace

int RunSummary(int argc, char** argv) {
    if (argc < 1 || argc > 3) {
        std::fprintf(stderr, "velmora: usage: velmora summary FILE [LOGIN [PASSWORD]]\n");
        return 2;
    }
    const std::string login = argc >= 2 ? argv[1] : "Admin";
    const std::string password = argc >= 3 ? argv[2] : "";

    CoInitialize(nullptr);
    int result = 1;
    {
        ComPtr<IExeContext> session;
        HRESULT status = CoCreateInstance(CLSID_ExeContext, nullptr, CLSCTX_INPROC_SERVER,
                                          IID_IExeContext, reinterpret_cast<void**>(session.Put()));
        if (FAILED(status)) {
            std::fprintf(stderr,
                         "velmora: cannot create Velmora.ExeContext (0x%08X); run 'velmora "
                         "register' first\n",
                         static_cast<unsigned>(status));
        } else if (Check(session->OpenAccessDB(Bstr(argv[0]).Get()), "opening the database") &&
                   Check(session->Login(Bstr(login).Get(), Bstr(password).Get()), "login")) {
            ComPtr<IUser> user;
            Bstr loginName, userName;
            if (Check(session->get_CurUser(user.Put()), "reading the current user") && user &&
                Check(user->get_LoginName(loginName.Put()), "reading the login name") &&
                Check(user->get_UserName(userName.Put()), "reading the user name")) {
                LONG id = 0;
                session->get_CurUserID(&id);
                std::printf("Database: %s\n", argv[0]);
                std::printf("Logged in: %s (user name \"%s\", user ID %d)\n",
                            loginName.Utf8().c_str(), userName.Utf8().c_str(), id);
                if (PrintSessionList(session.Get(), &IExeContext::get_AllBugStatus, "Statuses") &&
                    PrintSessionList(session.Get(), &IExeContext::get_BugPriority, "Priorities") &&
                    PrintSessionList(session.Get(), &IExeContext::get_BugSeverity, "Severities") &&
                    PrintSessionList(session.Get(), &IExeContext::get_BugReproductive,
                                     "Reproducibility"))
                    result = 0;
            }
            session->Close();
        }
    }
    CoUninitialize();
    return result;
}
