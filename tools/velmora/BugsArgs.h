#pragma once
// The command line of `velmora bugs`: what the four commands take, checked before the database
// is opened, so that a mistyped option never gets as far as the file.
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <velmora/Velmora.h>

namespace velmora::tool {

// A wrong or missing argument; the command prints it with a usage line and exits with 2.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

enum class OutputFormat { Table, Csv, Json };

// One --where condition, already checked: the field's name as the engine knows it, the
// comparison and the value as the field's type wants it (see FilterValue).
struct WhereCondition {
    std::string field;
    eLogCondition condition = Equal;
    std::string value; // as given; "include" has become a LIKE pattern
};

// The options of add and update; a field left out is not touched by update.
struct BugChanges {
    std::optional<std::string> description, status, priority, severity, reproducibility,
        classification, report, recreateSteps, workaround, resolution;
    std::vector<std::string> attachments;
    bool Any() const;
};

struct BugsCommand {
    enum class Verb { List, Show, Add, Update } verb = Verb::List;
    std::string file;
    std::string login;
    std::string password;
    std::string version; // "Product/Version" or an ID; empty when --role is given
    std::string role;    // a role name or ID; empty when --version is given
    bool features = false;
    std::vector<WhereCondition> conditions;
    bool any = false;
    std::optional<eBugField> sortField;
    bool sortDescending = false;
    OutputFormat format = OutputFormat::Table;
    LONG id = 0;
    BugChanges changes;
};

// Parses the arguments after "bugs"; the password falls back to $VELMORA_PASSWORD, then to the
// empty text. Throws UsageError.
BugsCommand ParseBugsCommand(const std::vector<std::string>& arguments,
                             const char* passwordFromEnvironment);

// The canonical name of a field the bug filters know (case-insensitive), or nullopt.
std::optional<std::string> FilterFieldName(const std::string& name);
// The sort column named by a filter field, a column of the list ("Reported Date", with or
// without blanks) or a column of the bug table, case-insensitive.
std::optional<eBugField> SortField(const std::string& name);

// The value of a checked condition as the filter wants it (an integer, a byte, a text or a
// date by the field's type). Throws UsageError for a value the field's type cannot hold.
// The caller owns the returned VARIANT and clears it.
VARIANT FilterValue(const WhereCondition& condition);

// The usage lines of `velmora bugs`, and the whole help text.
extern const char* const kBugsUsage;
extern const char* const kBugsHelp;

} // namespace velmora::tool
