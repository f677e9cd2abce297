#pragma once
// The session of one `velmora bugs` command: the database opened, the user logged in and a
// version or role chosen as the client's login does, and the names the commands look up.
#include <string>
#include <utility>
#include <vector>

#include <velmora/ComSupport.h>
#include <velmora/Velmora.h>

#include "BugsArgs.h"

namespace velmora::tool {

// A name and the identifier it stands for.
struct NamedID {
    std::string name;
    LONG id = 0;
};

class BugsSession {
  public:
    // Opens the file, logs in and chooses the version or role. Throws EngineError when the
    // engine refuses, UsageError for a version or role name the database does not know.
    explicit BugsSession(const BugsCommand& command);
    ~BugsSession();
    BugsSession(const BugsSession&) = delete;
    BugsSession& operator=(const BugsSession&) = delete;

    IExeContext* Context() const { return session_.Get(); }
    LONG UserID() const;
    LONG ActiveVersionID() const;

    // The list of bugs (or features) of the active version, narrowed by the filters.
    com::ComPtr<IBugSet> OpenList(bool features, IBugFilterSet* filters) const;
    com::ComPtr<IRight> CurrentRight() const;

    // The names a bug's fields may take: the statuses the current role may set, the lookup
    // lists, and the classifications of the active version's product (or, with a role, of
    // the role's product).
    std::vector<std::string> Statuses() const;
    std::vector<std::string> Priorities() const;
    std::vector<std::string> Severities() const;
    std::vector<std::string> Reproducibilities() const;
    std::vector<NamedID> Classifications() const;

  private:
    void ChooseVersion(const std::string& version);
    void ChooseRole(const std::string& role);
    com::ComPtr<IProduct> WorkingProduct() const;

    com::ComPtr<IExeContext> session_;
};

// The entry of the list equal to name without regard to case; UsageError naming the list
// (what) and its entries otherwise.
std::string MatchName(const std::string& name, const std::vector<std::string>& valid,
                      const std::string& what);

} // namespace velmora::tool
