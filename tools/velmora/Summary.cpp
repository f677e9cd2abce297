#include "Summary.h"

#include <cstdio>
#include <exception>
#include <set>
#include <string>
#include <vector>

#include "EngineCall.h"
#include "MaskedMessage.h"
#include "StatusTally.h"
#include "engine/db/DataSource.h"

using velmora::com::Bstr;
using velmora::com::ComPtr;
using velmora::tool::Require;
using velmora::tool::RequireObject;
using velmora::tool::StatusTally;

namespace {

// The names a lookup list holds. The four lists share their members but not their interface.
template <class List> std::vector<std::string> ListNames(List* list, const char* caption) {
    LONG count = 0;
    Require(list->get_Count(&count), caption);
    std::vector<std::string> names;
    for (LONG i = 0; i < count; ++i) {
        Bstr name;
        Require(list->get_Item(i, name.Put()), caption);
        names.push_back(name.Utf8());
    }
    return names;
}

std::string Joined(const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items)
        text += (text.empty() ? "" : ", ") + item;
    return text;
}

template <class List>
std::vector<std::string> PrintSessionList(IExeContext* session,
                                          HRESULT (IExeContext::*getter)(List**),
                                          const char* caption) {
    ComPtr<List> list;
    Require((session->*getter)(list.Put()), caption);
    const std::vector<std::string> names = ListNames(RequireObject(list, caption), caption);
    std::printf("%s (%d):%s%s\n", caption, static_cast<int>(names.size()), names.empty() ? "" : " ",
                Joined(names).c_str());
    return names;
}

void PrintUsers(IExeContext* session) {
    ComPtr<IUserSet> users;
    Require(session->get_AllUser(users.Put()), "listing the users");
    LONG count = 0;
    Require(RequireObject(users, "listing the users")->get_Count(&count), "counting the users");
    std::vector<std::string> names;
    for (LONG i = 0; i < count; ++i) {
        ComPtr<IUser> user;
        Require(users->get_Item(i, user.Put()), "reading a user");
        Bstr login, name;
        Require(RequireObject(user, "reading a user")->get_LoginName(login.Put()),
                "reading a user");
        Require(user->get_UserName(name.Put()), "reading a user");
        names.push_back(login.Utf8() == name.Utf8() ? login.Utf8()
                                                    : login.Utf8() + " (" + name.Utf8() + ")");
    }
    std::printf("Users (%d): %s\n", count, Joined(names).c_str());
}

void PrintRoles(IExeContext* session) {
    ComPtr<IRoleSet> roles;
    Require(session->get_AllRole(roles.Put()), "listing the roles");
    LONG count = 0;
    Require(RequireObject(roles, "listing the roles")->get_Count(&count), "counting the roles");
    std::vector<std::string> names;
    for (LONG i = 0; i < count; ++i) {
        ComPtr<IRole> role;
        Require(roles->get_Item(i, role.Put()), "reading a role");
        Bstr name;
        Require(RequireObject(role, "reading a role")->get_Name(name.Put()), "reading a role");
        names.push_back(name.Utf8());
    }
    std::printf("Roles (%d):%s%s\n", count, names.empty() ? "" : " ", Joined(names).c_str());
}

struct VersionRef {
    LONG id;
    std::string name;
};

struct ProductRef {
    LONG id = 0;
    std::string name;
    std::vector<VersionRef> versions;
};

// Prints every product with its versions and classification count, and returns them for the
// status counts.
std::vector<ProductRef> PrintProducts(IExeContext* session) {
    ComPtr<IProductSet> products;
    Require(session->get_ProductSet(products.Put()), "listing the products");
    LONG count = 0;
    Require(RequireObject(products, "listing the products")->get_Count(&count),
            "counting the products");
    std::printf("Products (%d):\n", count);
    std::vector<ProductRef> refs;
    for (LONG i = 0; i < count; ++i) {
        ComPtr<IProduct> product;
        Require(products->get_Item(i, product.Put()), "reading a product");
        ProductRef& ref = refs.emplace_back();
        Bstr name;
        Require(RequireObject(product, "reading a product")->get_Name(name.Put()),
                "reading a product");
        ref.name = name.Utf8();
        Require(product->get_ID(&ref.id), "reading a product");
        LONG versions = 0;
        Require(product->get_VersionCount(&versions), "counting the versions of " + ref.name);
        std::vector<std::string> versionNames;
        for (LONG v = 0; v < versions; ++v) {
            ComPtr<IVersion> version;
            Require(product->get_Version(v, version.Put()), "reading a version of " + ref.name);
            VersionRef& versionRef = ref.versions.emplace_back();
            Bstr versionName;
            Require(RequireObject(version, "reading a version")->get_ID(&versionRef.id),
                    "reading a version of " + ref.name);
            Require(version->get_Name(versionName.Put()), "reading a version of " + ref.name);
            versionRef.name = versionName.Utf8();
            versionNames.push_back(versionRef.name);
        }
        ComPtr<IClassificationSet> classes;
        Require(product->get_ClassificationSet(classes.Put()),
                "reading the classifications of " + ref.name);
        LONG classCount = 0;
        Require(RequireObject(classes, "reading the classifications")->get_Count(&classCount),
                "counting the classifications of " + ref.name);
        std::printf("  %s: %d version%s (%s), %d classification%s\n", ref.name.c_str(), versions,
                    versions == 1 ? "" : "s", Joined(versionNames).c_str(), classCount,
                    classCount == 1 ? "" : "s");
    }
    return refs;
}

// Counts the bugs or features of the active version.
StatusTally CountActiveVersion(IExeContext* session, bool features) {
    ComPtr<IBugSet> set;
    Require(features ? session->OpenFeatureSet(nullptr, set.Put())
                     : session->OpenBugSet(nullptr, set.Put()),
            features ? "opening the features" : "opening the bugs");
    StatusTally tally;
    tally.AddRows(RequireObject(set, "opening the bugs"));
    set->Close();
    return tally;
}

// The products in which the logged-in user holds a role.
std::set<LONG> UserProducts(IExeContext* session) {
    ComPtr<IProductSet> products;
    Require(session->get_CurUserProductSet(products.Put()), "listing the user's products");
    LONG count = 0;
    Require(RequireObject(products, "listing the user's products")->get_Count(&count),
            "listing the user's products");
    std::set<LONG> ids;
    for (LONG i = 0; i < count; ++i) {
        ComPtr<IProduct> product;
        Require(products->get_Item(i, product.Put()), "listing the user's products");
        LONG id = 0;
        Require(RequireObject(product, "listing the user's products")->get_ID(&id),
                "listing the user's products");
        ids.insert(id);
    }
    return ids;
}

// Whether the role chosen with the active version may view the lists.
bool MayRead(IExeContext* session) {
    ComPtr<IRight> right;
    Require(session->get_CurRight(right.Put()), "reading the current right");
    LONG read = 0;
    Require(RequireObject(right, "reading the current right")->get_Read(&read),
            "reading the current right");
    return read != 0;
}

std::string Described(const StatusTally& tally, const char* noun,
                      const std::vector<std::string>& statuses) {
    std::string text = std::to_string(tally.Total()) + " " + noun + (tally.Total() == 1 ? "" : "s");
    if (tally.Total()) text += " (" + tally.Describe(statuses, false) + ")";
    return text;
}

// Per version of every product the logged-in user holds a role in: bugs and features by status.
void PrintStatusCounts(IExeContext* session, const std::vector<ProductRef>& products,
                       const std::vector<std::string>& statuses, const std::string& login) {
    const std::set<LONG> visible = UserProducts(session);
    StatusTally allBugs, allFeatures;
    for (const ProductRef& product : products) {
        // The lists show what the user's role in the product allows; without one there is
        // nothing to show.
        if (!visible.count(product.id)) {
            std::printf("%s: %s holds no role in this product\n", product.name.c_str(),
                        login.c_str());
            continue;
        }
        for (const VersionRef& version : product.versions) {
            Require(session->SetActiveProduct(version.id),
                    "choosing " + product.name + " " + version.name);
            if (!MayRead(session)) {
                std::printf("%s %s: the role of %s may not view bugs\n", product.name.c_str(),
                            version.name.c_str(), login.c_str());
                continue;
            }
            const StatusTally bugs = CountActiveVersion(session, false);
            const StatusTally features = CountActiveVersion(session, true);
            std::printf("%s %s: %s; %s\n", product.name.c_str(), version.name.c_str(),
                        Described(bugs, "bug", statuses).c_str(),
                        Described(features, "feature", statuses).c_str());
            allBugs.AddAll(bugs);
            allFeatures.AddAll(features);
        }
    }
    std::printf("Bugs (%d): %s\n", allBugs.Total(), allBugs.Describe(statuses, true).c_str());
    std::printf("Features (%d): %s\n", allFeatures.Total(),
                allFeatures.Describe(statuses, true).c_str());
}

void PrintSummary(const std::string& file, const std::string& login, const std::string& password) {
    auto session =
        velmora::tool::Create<IExeContext>(CLSID_ExeContext, IID_IExeContext, "ExeContext");
    Require(session->OpenAccessDB(Bstr(file).Get()), "opening the database");
    Require(session->Login(Bstr(login).Get(), Bstr(password).Get()), "login");
    try {
        ComPtr<IUser> user;
        Require(session->get_CurUser(user.Put()), "reading the current user");
        Bstr loginName, userName;
        Require(RequireObject(user, "reading the current user")->get_LoginName(loginName.Put()),
                "reading the login name");
        Require(user->get_UserName(userName.Put()), "reading the user name");
        LONG id = 0;
        session->get_CurUserID(&id);
        std::printf("Database: %s\n", velmora::db::MaskedDataSource(file).c_str());
        std::printf("Logged in: %s (user name \"%s\", user ID %d)\n", loginName.Utf8().c_str(),
                    userName.Utf8().c_str(), id);
        const auto statuses =
            PrintSessionList(session.Get(), &IExeContext::get_AllBugStatus, "Statuses");
        PrintSessionList(session.Get(), &IExeContext::get_BugPriority, "Priorities");
        PrintSessionList(session.Get(), &IExeContext::get_BugSeverity, "Severities");
        PrintSessionList(session.Get(), &IExeContext::get_BugReproductive, "Reproducibility");
        const std::vector<ProductRef> products = PrintProducts(session.Get());
        PrintUsers(session.Get());
        PrintRoles(session.Get());
        PrintStatusCounts(session.Get(), products, statuses, loginName.Utf8());
    } catch (...) {
        session->Close();
        throw;
    }
    session->Close();
}

} // namespace

int RunSummary(int argc, char** argv) {
    if (argc < 1 || argc > 3) {
        std::fprintf(stderr, "velmora: usage: velmora summary FILE [LOGIN [PASSWORD]]\n");
        return 2;
    }
    const std::string login = argc >= 2 ? argv[1] : "Admin";
    const std::string password = argc >= 3 ? argv[2] : "";
    velmora::tool::ComApartment apartment;
    try {
        PrintSummary(argv[0], login, password);
        return 0;
    } catch (const std::exception& error) {
        std::fflush(stdout);
        std::fprintf(stderr, "velmora: %s\n",
                     velmora::tool::MaskedMessage(error.what(), argv[0]).c_str());
        return 1;
    }
}
