// Every text that reaches SQL (login names, passwords, the names of users, products, versions,
// classifications and roles, every bug text, filter values, file names) comes back exactly as it
// was stored and never changes a statement: afterwards the schema is the seed's and the file is
// sound.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/admin/Admin.h"
#include "engine/admin/Classification.h"
#include "engine/admin/Product.h"
#include "engine/admin/Role.h"
#include "engine/admin/User.h"
#include "engine/bugs/Bug.h"
#include "engine/bugs/BugFilter.h"
#include "engine/bugs/BugFilterSet.h"
#include "tests/hostile_input/HostileTexts.h"
#include "tests/session/SessionTestSupport.h"

namespace velmora::test {
namespace {

#define CHECKED(call) ASSERT_EQ((call), S_OK) << #call << ": " << ErrorDescription()

com::Variant TextValue(const std::string& text) {
    com::Variant value;
    value.vt = VT_BSTR;
    value.bstrVal = com::AllocBstr(text);
    return value;
}

template <class Interface>
std::string Read(Interface* object, HRESULT (Interface::*getter)(BSTR*)) {
    Bstr value;
    EXPECT_EQ((object->*getter)(value.Put()), S_OK);
    return value.Utf8();
}

class HostileTextTest : public SessionTest {
  protected:
    void SetUp() override {
        SessionTest::SetUp();
        schema_ = Schema();
        Execute("INSERT INTO tProduct VALUES (900, 'Kiln', ''); "
                "INSERT INTO tVersion VALUES (900, 900, '1.0', '', 0); "
                "INSERT INTO tRole VALUES (900, 'Manager', '', 900)");
        GrantEveryRight(900);
        CHECKED(Open());
        CHECKED(Login("Admin", ""));
        CHECKED(session_->SetActiveProduct(900));
    }
    void TearDown() override {
        // Whatever the texts were, no statement changed the schema or harmed the file.
        EXPECT_EQ(Schema(), schema_);
        EXPECT_EQ(Query("PRAGMA integrity_check"), "ok");
        SessionTest::TearDown();
    }
    std::string Schema() {
        std::string all;
        for (int i = 0;; ++i) {
            const std::string row = Query("SELECT sql FROM sqlite_master ORDER BY name LIMIT 1 "
                                          "OFFSET " +
                                          std::to_string(i));
            if (row.empty()) return all;
            all += row + "\n";
        }
    }
    ComPtr<IAdmin> Admin() {
        ComPtr<IAdmin> admin;
        EXPECT_EQ(session_->get_Admin(admin.Put()), S_OK);
        return admin;
    }
    ComPtr<IBugSet> Bugs(IBugFilterSet* filters = nullptr) {
        ComPtr<IBugSet> bugs;
        EXPECT_EQ(session_->OpenBugSet(filters, bugs.Put()), S_OK) << ErrorDescription();
        return bugs;
    }

    std::string schema_;
};

TEST_F(HostileTextTest, LoginNamesAndPasswords) {
    ComPtr<IUserSet> users;
    CHECKED(Admin()->get_UserSet(users.Put()));
    for (const auto& [name, text] : HostileTexts(64 * 1024)) {
        SCOPED_TRACE(name);
        // Passwords are at most 63 bytes; the long text is cut at an ASCII position.
        const std::string password = text.substr(0, 63);
        auto user = engine::CreateObject<engine::CUser>();
        user->put_LoginName(Bstr(text).Get());
        user->put_UserName(Bstr(text).Get());
        user->put_Password(Bstr(password).Get());
        CHECKED(users->Add(user.Get()));

        auto other = engine::CreateObject<engine::CExeContext>();
        CHECKED(other->OpenAccessDB(Bstr(database_).Get()));
        EXPECT_EQ(other->Login(Bstr(text).Get(), Bstr(password + "x").Get()), E_FAIL);
        CHECKED(other->Login(Bstr(text).Get(), Bstr(password).Get()));
        ComPtr<IUser> current;
        CHECKED(other->get_CurUser(current.Put()));
        EXPECT_EQ(Read(current.Get(), &IUser::get_LoginName), text);
        EXPECT_EQ(Read(current.Get(), &IUser::get_UserName), text);
        EXPECT_EQ(Read(current.Get(), &IUser::get_Password), password);
    }
}

TEST_F(HostileTextTest, NamesOfProductsVersionsClassificationsAndRoles) {
    const auto texts = HostileTexts();
    ComPtr<IProductSet> products;
    CHECKED(session_->get_ProductSet(products.Put()));
    ComPtr<IRoleSet> roles;
    CHECKED(Admin()->get_RoleSet(roles.Put()));
    for (const auto& [name, text] : texts) {
        SCOPED_TRACE(name);
        auto product = engine::CreateObject<engine::CProduct>();
        product->put_Name(Bstr(text).Get());
        product->put_Description(Bstr(text).Get());
        ComPtr<IVersion> version;
        CHECKED(product->AddVersion(Bstr(text).Get(), Bstr(text).Get(), 46000, version.Put()));
        CHECKED(products->Add(product.Get()));
        ComPtr<IClassificationSet> classes;
        CHECKED(product->get_ClassificationSet(classes.Put()));
        CHECKED(classes->put_ExeContext(session_.Get()));
        auto classification = engine::CreateObject<engine::CClassification>();
        classification->put_Name(Bstr(text).Get());
        CHECKED(classes->Add(classification.Get()));
        auto role = engine::CreateObject<engine::CRole>();
        role->put_Name(Bstr(text).Get());
        CHECKED(roles->Add(role.Get()));
    }
    CHECKED(session_->Synchronize());

    // Read back through fresh objects, in insertion order (the seeded rows have the largest identifiers).
    ComPtr<IProductSet> stored;
    CHECKED(session_->get_ProductSet(stored.Put()));
    ComPtr<IRoleSet> storedRoles;
    CHECKED(Admin()->get_RoleSet(storedRoles.Put()));
    for (size_t i = 0; i < texts.size(); ++i) {
        SCOPED_TRACE(texts[i].name);
        const std::string& text = texts[i].text;
        ComPtr<IProduct> product;
        CHECKED(stored->get_Item(static_cast<LONG>(i), product.Put()));
        EXPECT_EQ(Read(product.Get(), &IProduct::get_Name), text);
        EXPECT_EQ(Read(product.Get(), &IProduct::get_Description), text);
        ComPtr<IVersion> version;
        CHECKED(product->get_Version(0, version.Put()));
        EXPECT_EQ(Read(version.Get(), &IVersion::get_Name), text);
        ComPtr<IClassificationSet> classes;
        CHECKED(product->get_ClassificationSet(classes.Put()));
        ComPtr<IClassification> classification;
        CHECKED(classes->get_Item(0, classification.Put()));
        EXPECT_EQ(Read(classification.Get(), &IClassification::get_Name), text);
        ComPtr<IRole> role;
        CHECKED(storedRoles->get_Item(static_cast<LONG>(i), role.Put()));
        EXPECT_EQ(Read(role.Get(), &IRole::get_Name), text);
    }
}

TEST_F(HostileTextTest, BugTextsAndFilterValues) {
    const auto texts = HostileTexts();
    auto bugs = Bugs();
    std::vector<LONG> ids;
    for (const auto& [name, text] : texts) {
        SCOPED_TRACE(name);
        auto bug = engine::CreateObject<engine::CBug>();
        const Bstr value(text);
        bug->put_ReportedInVersionID(900);
        bug->put_Description(value.Get());
        bug->put_Report(value.Get());
        bug->put_RecreateStep(value.Get());
        bug->put_Workaround(value.Get());
        bug->put_Resolution(value.Get());
        ComPtr<IBug> added;
        CHECKED(bugs->Add(bug.Get(), added.Put()));
        LONG id = 0;
        added->get_ID(&id);
        ids.push_back(id);
    }
    for (size_t i = 0; i < texts.size(); ++i) {
        SCOPED_TRACE(texts[i].name);
        const std::string& text = texts[i].text;
        ComPtr<IBug> bug;
        CHECKED(bugs->GetBugByID(ids[i], bug.Put()));
        EXPECT_EQ(Read(bug.Get(), &IBug::get_Description), text);
        EXPECT_EQ(Read(bug.Get(), &IBug::get_Report), text);
        EXPECT_EQ(Read(bug.Get(), &IBug::get_RecreateStep), text);
        EXPECT_EQ(Read(bug.Get(), &IBug::get_Workaround), text);
        EXPECT_EQ(Read(bug.Get(), &IBug::get_Resolution), text);

        // The text as a filter value finds exactly its own bug.
        auto filters = engine::CreateObject<engine::CBugFilterSet>();
        auto filter = engine::CreateObject<engine::CBugFilter>();
        CHECKED(filter->put_Field(Bstr("Description").Get()));
        CHECKED(filter->put_Condition(Equal));
        CHECKED(filter->put_Value(TextValue(text)));
        CHECKED(filters->Add(filter.Get()));
        auto found = Bugs(filters.Get());
        LONG count = 0;
        CHECKED(found->get_Count(&count));
        EXPECT_EQ(count, 1);
        ComPtr<IBug> first;
        CHECKED(found->get_CurItem(first.Put()));
        LONG id = 0;
        if (first) first->get_ID(&id);
        EXPECT_EQ(id, ids[i]);
    }
    EXPECT_EQ(Count("tBugReport"), static_cast<int>(texts.size()));
}

TEST_F(HostileTextTest, FileNames) {
    auto bugs = Bugs();
    auto bug = engine::CreateObject<engine::CBug>();
    bug->put_ReportedInVersionID(900);
    bug->put_Description(Bstr("with attachments").Get());
    ComPtr<IBug> added;
    CHECKED(bugs->Add(bug.Get(), added.Put()));
    ComPtr<IFileSet> files;
    CHECKED(added->get_AttachedFiles(files.Put()));
    const auto source = dir_ / "source";
    const auto restored = dir_ / "restored";
    std::filesystem::create_directories(source);
    std::filesystem::create_directories(restored);
    for (const auto& [name, text] : HostileTexts()) {
        // A file name holds no separator and at most 255 bytes.
        std::string fileName;
        for (const char c : text.substr(0, 200))
            fileName += (c == '/' || c == '\\') ? '_' : c;
        if (fileName == "." || fileName == "..") continue;
        SCOPED_TRACE(name);
        const auto path = source / fileName;
        std::ofstream(path, std::ios::binary) << text;
        ComPtr<IFile> file;
        CHECKED(files->Add(Bstr(path.string()).Get(), file.Put()));
        EXPECT_EQ(Read(file.Get(), &IFile::get_FileName), fileName);

        const auto out = restored / fileName;
        CHECKED(file->GetFile(Bstr(out.string()).Get()));
        std::ifstream in(out, std::ios::binary);
        std::stringstream content;
        content << in.rdbuf();
        EXPECT_EQ(content.str(), text);
        EXPECT_EQ(Query("SELECT COUNT(*) FROM tAttachment WHERE FileName = '" +
                        [&] {
                            std::string quoted;
                            for (const char c : fileName)
                                quoted += c == '\'' ? std::string("''") : std::string(1, c);
                            return quoted;
                        }() +
                        "'"),
                  "1");
    }
}

} // namespace
} // namespace velmora::test
