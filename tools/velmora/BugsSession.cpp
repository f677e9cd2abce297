#include "BugsSession.h"

#include <cctype>
#include <cstdlib>

#include "EngineCall.h"

namespace velmora::tool {
namespace {

using com::Bstr;
using com::ComPtr;

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string Joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ", ") + name;
    return text.empty() ? "(none)" : text;
}

// A positive whole number that fits an identifier, or 0.
LONG AsID(const std::string& text) {
    if (text.empty() || text.size() > 10) return 0;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c))) return 0;
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    return value > 0 && value <= INT32_MAX ? static_cast<LONG>(value) : 0;
}

template <class List> std::vector<std::string> Names(List* list, const std::string& what) {
    LONG count = 0;
    Require(list->get_Count(&count), what);
    std::vector<std::string> names;
    for (LONG i = 0; i < count; ++i) {
        Bstr name;
        Require(list->get_Item(i, name.Put()), what);
        names.push_back(name.Utf8());
    }
    return names;
}

template <class List>
std::vector<std::string> SessionList(IExeContext* session, HRESULT (IExeContext::*getter)(List**),
                                     const std::string& what) {
    ComPtr<List> list;
    Require((session->*getter)(list.Put()), what);
    return Names(RequireObject(list, what), what);
}

} // namespace

std::string MatchName(const std::string& name, const std::vector<std::string>& valid,
                      const std::string& what) {
    for (const std::string& entry : valid)
        if (SameName(entry, name)) return entry;
    throw UsageError("unknown " + what + " '" + name + "'; choose from: " + Joined(valid));
}

BugsSession::BugsSession(const BugsCommand& command)
    : session_(Create<IExeContext>(CLSID_ExeContext, IID_IExeContext, "ExeContext")) {
    try {
        Require(session_->OpenAccessDB(Bstr(command.file).Get()), "opening the database");
        Require(session_->Login(Bstr(command.login).Get(), Bstr(command.password).Get()), "login");
        if (!command.version.empty())
            ChooseVersion(command.version);
        else
            ChooseRole(command.role);
    } catch (...) {
        session_->Close();
        throw;
    }
}

BugsSession::~BugsSession() {
    session_->Close();
}

void BugsSession::ChooseVersion(const std::string& version) {
    LONG id = AsID(version);
    if (!id) {
        const size_t slash = version.rfind('/');
        if (slash == std::string::npos)
            throw UsageError("--version takes a version ID or \"Product/Version\"");
        const std::string productName = version.substr(0, slash);
        const std::string versionName = version.substr(slash + 1);
        ComPtr<IProductSet> products;
        Require(session_->get_ProductSet(products.Put()), "listing the products");
        LONG count = 0;
        Require(RequireObject(products, "listing the products")->get_Count(&count),
                "listing the products");
        std::vector<std::string> valid;
        for (LONG p = 0; p < count && !id; ++p) {
            ComPtr<IProduct> product;
            Require(products->get_Item(p, product.Put()), "reading a product");
            Bstr name;
            Require(RequireObject(product, "reading a product")->get_Name(name.Put()),
                    "reading a product");
            LONG versions = 0;
            Require(product->get_VersionCount(&versions), "reading a product");
            for (LONG v = 0; v < versions; ++v) {
                ComPtr<IVersion> item;
                Require(product->get_Version(v, item.Put()), "reading a version");
                Bstr itemName;
                Require(RequireObject(item, "reading a version")->get_Name(itemName.Put()),
                        "reading a version");
                valid.push_back(name.Utf8() + "/" + itemName.Utf8());
                if (SameName(name.Utf8(), productName) && SameName(itemName.Utf8(), versionName)) {
                    Require(item->get_ID(&id), "reading a version");
                    break;
                }
            }
        }
        if (!id) MatchName(version, valid, "version"); // throws with the list
    }
    Require(session_->SetActiveProduct(id), "choosing version " + version);
}

void BugsSession::ChooseRole(const std::string& role) {
    LONG id = AsID(role);
    if (!id) {
        ComPtr<IRoleSet> roles;
        Require(session_->get_AllRole(roles.Put()), "listing the roles");
        LONG count = 0;
        Require(RequireObject(roles, "listing the roles")->get_Count(&count), "listing the roles");
        std::vector<std::string> valid;
        for (LONG i = 0; i < count && !id; ++i) {
            ComPtr<IRole> item;
            Require(roles->get_Item(i, item.Put()), "reading a role");
            Bstr name;
            Require(RequireObject(item, "reading a role")->get_Name(name.Put()), "reading a role");
            valid.push_back(name.Utf8());
            if (SameName(name.Utf8(), role)) Require(item->get_ID(&id), "reading a role");
        }
        if (!id) MatchName(role, valid, "role");
    }
    Require(session_->SetCurRole(id), "choosing role " + role);
}

LONG BugsSession::UserID() const {
    LONG id = 0;
    Require(session_->get_CurUserID(&id), "reading the current user");
    return id;
}

LONG BugsSession::ActiveVersionID() const {
    LONG id = 0;
    Require(session_->get_ActiveVersionID(&id), "reading the active version");
    return id;
}

ComPtr<IBugSet> BugsSession::OpenList(bool features, IBugFilterSet* filters) const {
    ComPtr<IBugSet> set;
    const char* what = features ? "opening the features" : "opening the bugs";
    Require(features ? session_->OpenFeatureSet(filters, set.Put())
                     : session_->OpenBugSet(filters, set.Put()),
            what);
    RequireObject(set, what);
    return set;
}

ComPtr<IRight> BugsSession::CurrentRight() const {
    ComPtr<IRight> right;
    Require(session_->get_CurRight(right.Put()), "reading the current right");
    RequireObject(right, "reading the current right");
    return right;
}

std::vector<std::string> BugsSession::Statuses() const {
    return SessionList(session_.Get(), &IExeContext::get_BugStatus, "reading the statuses");
}
std::vector<std::string> BugsSession::Priorities() const {
    return SessionList(session_.Get(), &IExeContext::get_BugPriority, "reading the priorities");
}
std::vector<std::string> BugsSession::Severities() const {
    return SessionList(session_.Get(), &IExeContext::get_BugSeverity, "reading the severities");
}
std::vector<std::string> BugsSession::Reproducibilities() const {
    return SessionList(session_.Get(), &IExeContext::get_BugReproductive,
                       "reading the reproducibility list");
}

ComPtr<IProduct> BugsSession::WorkingProduct() const {
    ComPtr<IProduct> product;
    if (ActiveVersionID()) {
        Require(session_->get_ActiveProduct(product.Put()), "reading the active product");
    } else {
        ComPtr<IRole> role;
        Require(session_->get_CurRole(role.Put()), "reading the current role");
        if (role) Require(role->get_Product(product.Put()), "reading the role's product");
    }
    return product;
}

std::vector<NamedID> BugsSession::Classifications() const {
    std::vector<NamedID> result;
    const ComPtr<IProduct> product = WorkingProduct();
    if (!product) return result;
    ComPtr<IClassificationSet> set;
    const char* what = "reading the classifications";
    Require(product->get_ClassificationSet(set.Put()), what);
    LONG count = 0;
    Require(RequireObject(set, what)->get_Count(&count), what);
    for (LONG i = 0; i < count; ++i) {
        ComPtr<IClassification> item;
        Require(set->get_Item(i, item.Put()), what);
        NamedID& entry = result.emplace_back();
        Bstr name;
        Require(RequireObject(item, what)->get_Name(name.Put()), what);
        entry.name = name.Utf8();
        Require(item->get_ID(&entry.id), what);
    }
    return result;
}

} // namespace velmora::tool
