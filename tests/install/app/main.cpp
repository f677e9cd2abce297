// Creates the session by class identifier, logs in as Admin, reads the login name back, then
// checks that a wrong password is refused with its message and an Err.log entry.
#include <velmora/Velmora.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

namespace {

int failures = 0;

void Expect(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "FAILED: %s\n", what);
        ++failures;
    }
}

BSTR Text(const char* ascii) {
    OLECHAR buffer[256] = {};
    for (size_t i = 0; ascii[i] && i < 255; ++i) buffer[i] = static_cast<OLECHAR>(ascii[i]);
    return SysAllocString(buffer);
}

std::string Ascii(BSTR text) {
    std::string result;
    for (UINT i = 0; i < SysStringLen(text); ++i) result += static_cast<char>(text[i]);
    return result;
}

std::string ErrorDescription() {
    IErrorInfo* info = nullptr;
    if (GetErrorInfo(0, &info) != S_OK || !info) return {};
    BSTR description = nullptr;
    info->GetDescription(&description);
    std::string result = Ascii(description);
    SysFreeString(description);
    info->Release();
    return result;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: outside_program DATABASE ERR_LOG\n");
        return 2;
    }
    CoInitialize(nullptr);
    IExeContext* session = nullptr;
    HRESULT hr = CoCreateInstance(CLSID_ExeContext, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IExeContext, reinterpret_cast<void**>(&session));
    Expect(hr == S_OK && session, "CoCreateInstance(CLSID_ExeContext)");
    if (!session) return 1;

    BSTR path = Text(argv[1]), admin = Text("Admin"), empty = Text(""), wrong = Text("wrong");
    Expect(session->OpenAccessDB(path) == S_OK, "OpenAccessDB");
    Expect(session->Login(admin, empty) == S_OK, "Login as Admin");

    IUser* user = nullptr;
    Expect(session->get_CurUser(&user) == S_OK && user, "CurUser");
    if (user) {
        BSTR login = nullptr;
        Expect(user->get_LoginName(&login) == S_OK, "get_LoginName");
        Expect(Ascii(login) == "Admin", "login name reads back Admin");
        SysFreeString(login);
        user->Release();
    }

    Expect(session->Login(admin, wrong) == E_FAIL, "wrong password fails with E_FAIL");
    Expect(ErrorDescription() == "User Name or password is incorrect!",
           "wrong password description");
    std::ifstream log(argv[2], std::ios::binary);
    std::stringstream content;
    content << log.rdbuf();
    Expect(content.str().find("[Source]: CExeContext::Login\r\n[Description]: User Name or "
                              "password is incorrect!\r\n\r\n") != std::string::npos,
           "Err.log holds the refused login");

    session->Close();
    session->Release();
    SysFreeString(path);
    SysFreeString(admin);
    SysFreeString(empty);
    SysFreeString(wrong);
    CoUninitialize();
    if (failures == 0) std::printf("outside program: all checks passed\n");
    return failures == 0 ? 0 : 1;
}
