#include "BugsArgs.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

#include <velmora/ComSupport.h>

#include "RowFormat.h"

namespace velmora::tool {
namespace {

enum class FieldType { Integer, Byte, Text, Date };

struct FilterField {
    const char* name;
    FieldType type;
};

// The fields a bug filter can compare, with the type its value must have.
constexpr FilterField kFilterFields[] = {
    {"BugID", FieldType::Integer},
    {"ClassID", FieldType::Integer},
    {"ReportedByID", FieldType::Integer},
    {"FixedByID", FieldType::Integer},
    {"VerifiedByID", FieldType::Integer},
    {"LastModifiedByID", FieldType::Integer},
    {"ReportedInVersionID", FieldType::Integer},
    {"FixedInVersionID", FieldType::Integer},
    {"BugType", FieldType::Byte},
    {"ReproductiveName", FieldType::Text},
    {"StatusName", FieldType::Text},
    {"PriorityName", FieldType::Text},
    {"SeverityName", FieldType::Text},
    {"Description", FieldType::Text},
    {"RecreateStep", FieldType::Text},
    {"Workaround", FieldType::Text},
    {"Report", FieldType::Text},
    {"Resolution", FieldType::Text},
    {"Classification", FieldType::Text},
    {"ReportedBy", FieldType::Text},
    {"FixedBy", FieldType::Text},
    {"VerifiedBy", FieldType::Text},
    {"LastModifiedBy", FieldType::Text},
    {"ReportedInVersion", FieldType::Text},
    {"FixedInVersion", FieldType::Text},
    {"EstimatedTime", FieldType::Date},
    {"ActualTime", FieldType::Date},
    {"DateDue", FieldType::Date},
    {"ReportedDate", FieldType::Date},
    {"FixedDate", FieldType::Date},
    {"VerifiedDate", FieldType::Date},
    {"LastModifiedDate", FieldType::Date},
};

struct SortName {
    const char* name; // lower case, without blanks
    eBugField field;
};

// The list's columns by caption, then the bug table's columns by name.
constexpr SortName kSortNames[] = {
    {"id", ColID},
    {"status", ColStatus},
    {"severity", ColSeverity},
    {"priority", ColPriority},
    {"reproductive", ColReproductive},
    {"reproducibility", ColReproductive},
    {"reportedinversion", ColReportedInVer},
    {"fixedinversion", ColFixedInVer},
    {"bugid", ColID},
    {"severityname", ColSeverity},
    {"statusname", ColStatus},
    {"priorityname", ColPriority},
    {"reproductivename", ColReproductive},
    {"description", ColDescription},
    {"report", ColReport},
    {"recreatestep", ColRecreateStep},
    {"workaround", ColWorkaround},
    {"resolution", ColResolution},
    {"reportedby", ColReportedBy},
    {"reporteddate", ColReportedDate},
    {"fixedby", ColFixedBy},
    {"fixeddate", ColFixedDate},
    {"verifiedby", ColVerifiedBy},
    {"verifieddate", ColVerifiedDate},
    {"lastmodifiedby", ColLastModifiedBy},
    {"lastmodifieddate", ColLastModifiedDate},
    {"estimatedtime", ColEstimatedTime},
    {"datedue", ColDateDue},
    {"classification", ColClassification},
    {"fixedbyid", ColFixedByID},
    {"fixedinversionid", ColFixedInVerID},
    {"verifiedbyid", ColVerifiedByID},
    {"reportedbyid", ColReportedByID},
    {"reportedinversionid", ColReportedInVerID},
    {"lastmodifiedbyid", ColLastModifiedByID},
    {"classid", ColClassID},
    {"bugtype", ColBugType},
};

struct Comparison {
    const char* name;
    eLogCondition condition;
    bool include; // "include": a LIKE pattern made of the value
};

constexpr Comparison kComparisons[] = {
    {"=", Equal, false},     {"==", Equal, false},     {"<>", NotEqual, false},
    {"!=", NotEqual, false}, {">", LargerThan, false}, {">=", LargerEqual, false},
    {"<", LessThan, false},  {"<=", LessEqual, false}, {"not", Not, false},
    {"like", Like, false},   {"include", Like, true},  {"includes", Like, true},
};

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

const FilterField* FindField(const std::string& name) {
    const std::string wanted = Lower(name);
    for (const FilterField& field : kFilterFields)
        if (Lower(field.name) == wanted) return &field;
    return nullptr;
}

std::string FieldList() {
    std::string text;
    for (const FilterField& field : kFilterFields)
        text += (text.empty() ? "" : ", ") + std::string(field.name);
    return text;
}

// Whole decimal number within [low, high].
std::optional<long long> Number(const std::string& text, long long low, long long high) {
    if (text.empty() || text.size() > 11) return std::nullopt;
    size_t i = text[0] == '-' ? 1 : 0;
    if (i == text.size()) return std::nullopt;
    for (size_t j = i; j < text.size(); ++j)
        if (!std::isdigit(static_cast<unsigned char>(text[j]))) return std::nullopt;
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    if (value < low || value > high) return std::nullopt;
    return value;
}

class Arguments {
  public:
    explicit Arguments(const std::vector<std::string>& list) : list_(list) {}
    bool Done() const { return next_ >= list_.size(); }
    const std::string& Take() { return list_[next_++]; }
    const std::string& Value(const std::string& option) {
        if (Done()) throw UsageError(option + " needs a value");
        return Take();
    }

  private:
    const std::vector<std::string>& list_;
    size_t next_ = 0;
};

BugsCommand::Verb ParseVerb(const std::string& word) {
    if (word == "list") return BugsCommand::Verb::List;
    if (word == "show") return BugsCommand::Verb::Show;
    if (word == "add") return BugsCommand::Verb::Add;
    if (word == "update") return BugsCommand::Verb::Update;
    throw UsageError("unknown bugs command '" + word + "'");
}

const char* VerbName(BugsCommand::Verb verb) {
    switch (verb) {
    case BugsCommand::Verb::List:
        return "list";
    case BugsCommand::Verb::Show:
        return "show";
    case BugsCommand::Verb::Add:
        return "add";
    case BugsCommand::Verb::Update:
        return "update";
    }
    return "";
}

WhereCondition ParseCondition(const std::string& field, const std::string& op,
                              const std::string& value) {
    const FilterField* known = FindField(field);
    if (!known)
        throw UsageError("--where: unknown field '" + field + "'; the fields are " + FieldList());
    const std::string wanted = Lower(op);
    for (const Comparison& comparison : kComparisons) {
        if (wanted != comparison.name) continue;
        const bool textOnly = comparison.condition == Like || comparison.condition == Not;
        if (textOnly && known->type != FieldType::Text)
            throw UsageError("--where: '" + op + "' compares texts only, and " +
                             std::string(known->name) + " is no text");
        WhereCondition condition{known->name, comparison.condition,
                                 comparison.include ? "%" + value + "%" : value};
        VARIANT check = FilterValue(condition); // a wrong value is a usage error now
        VariantClear(&check);
        return condition;
    }
    throw UsageError("--where: unknown comparison '" + op +
                     "'; the comparisons are = <> > >= < <= not like include");
}

// The changes of add and update; false when the option is none of them.
bool ParseChange(const std::string& option, Arguments& args, BugChanges& changes) {
    const std::pair<const char*, std::optional<std::string> BugChanges::*> texts[] = {
        {"--description", &BugChanges::description},
        {"--status", &BugChanges::status},
        {"--priority", &BugChanges::priority},
        {"--severity", &BugChanges::severity},
        {"--reproducibility", &BugChanges::reproducibility},
        {"--classification", &BugChanges::classification},
        {"--report", &BugChanges::report},
        {"--recreate-steps", &BugChanges::recreateSteps},
        {"--workaround", &BugChanges::workaround},
        {"--resolution", &BugChanges::resolution},
    };
    for (const auto& [name, member] : texts) {
        if (option != name) continue;
        if (changes.*member) throw UsageError(option + " given twice");
        changes.*member = args.Value(option);
        return true;
    }
    if (option == "--attach") {
        const std::string& path = args.Value(option);
        if (path.empty()) throw UsageError("--attach needs a file name");
        changes.attachments.push_back(path);
        return true;
    }
    return false;
}

} // namespace

bool BugChanges::Any() const {
    return description || status || priority || severity || reproducibility || classification ||
           report || recreateSteps || workaround || resolution || !attachments.empty();
}

std::optional<std::string> FilterFieldName(const std::string& name) {
    const FilterField* field = FindField(name);
    return field ? std::optional<std::string>(field->name) : std::nullopt;
}

std::optional<eBugField> SortField(const std::string& name) {
    std::string wanted;
    for (char c : Lower(name))
        if (c != ' ') wanted += c;
    for (const SortName& sort : kSortNames)
        if (wanted == sort.name) return sort.field;
    return std::nullopt;
}

VARIANT FilterValue(const WhereCondition& condition) {
    const FilterField* field = FindField(condition.field);
    if (!field) throw UsageError("--where: unknown field '" + condition.field + "'");
    VARIANT value;
    VariantInit(&value);
    const std::string& text = condition.value;
    switch (field->type) {
    case FieldType::Integer: {
        const auto number = Number(text, INT32_MIN, INT32_MAX);
        if (!number) throw UsageError("--where: " + condition.field + " takes a whole number");
        value.vt = VT_I4;
        value.lVal = static_cast<LONG>(*number);
        break;
    }
    case FieldType::Byte: {
        const auto number = Number(text, 0, 255);
        if (!number) throw UsageError("--where: " + condition.field + " takes 0 to 255");
        value.vt = VT_UI1;
        value.bVal = static_cast<BYTE>(*number);
        break;
    }
    case FieldType::Text:
        if (text.find('\0') != std::string::npos)
            throw UsageError("--where: a value cannot hold a NUL character");
        value.vt = VT_BSTR;
        value.bstrVal = com::Bstr(text).Detach();
        break;
    case FieldType::Date: {
        const auto day = ParseIsoDay(text);
        if (!day)
            throw UsageError("--where: " + condition.field +
                             " takes a day written YYYY-MM-DD (dates compare by whole days)");
        value.vt = VT_DATE;
        value.date = *day;
        break;
    }
    }
    return value;
}

BugsCommand ParseBugsCommand(const std::vector<std::string>& arguments,
                             const char* passwordFromEnvironment) {
    Arguments args(arguments);
    if (args.Done()) throw UsageError("no bugs command given");
    BugsCommand command;
    command.verb = ParseVerb(args.Take());
    const bool editing =
        command.verb == BugsCommand::Verb::Add || command.verb == BugsCommand::Verb::Update;
    const bool needsID =
        command.verb == BugsCommand::Verb::Show || command.verb == BugsCommand::Verb::Update;
    std::optional<std::string> password;
    std::vector<std::string> positional;
    while (!args.Done()) {
        const std::string& option = args.Take();
        if (option.size() < 2 || option.rfind("--", 0) != 0) {
            positional.push_back(option);
        } else if (option == "--login") {
            command.login = args.Value(option);
        } else if (option == "--password") {
            password = args.Value(option);
        } else if (option == "--version") {
            command.version = args.Value(option);
            if (command.version.empty()) throw UsageError("--version needs a version");
        } else if (option == "--role") {
            command.role = args.Value(option);
            if (command.role.empty()) throw UsageError("--role needs a role");
        } else if (option == "--features" || (option == "--feature" && editing)) {
            command.features = true;
        } else if (option == "--where" && command.verb == BugsCommand::Verb::List) {
            const std::string field = args.Value(option);
            const std::string op = args.Value(option);
            const std::string value = args.Value(option);
            command.conditions.push_back(ParseCondition(field, op, value));
        } else if (option == "--any" && command.verb == BugsCommand::Verb::List) {
            command.any = true;
        } else if (option == "--sort" && command.verb == BugsCommand::Verb::List) {
            std::string name = args.Value(option);
            const size_t colon = name.rfind(':');
            if (colon != std::string::npos) {
                const std::string order = Lower(name.substr(colon + 1));
                if (order != "asc" && order != "desc")
                    throw UsageError("--sort: the order after ':' is asc or desc");
                command.sortDescending = order == "desc";
                name.resize(colon);
            }
            command.sortField = SortField(name);
            if (!command.sortField) throw UsageError("--sort: unknown column '" + name + "'");
        } else if (option == "--format" && !editing) {
            const std::string format = Lower(args.Value(option));
            if (format == "table")
                command.format = OutputFormat::Table;
            else if (format == "csv" && command.verb == BugsCommand::Verb::List)
                command.format = OutputFormat::Csv;
            else if (format == "json")
                command.format = OutputFormat::Json;
            else
                throw UsageError("--format: unknown format '" + format + "'");
        } else if (!(editing && ParseChange(option, args, command.changes))) {
            throw UsageError(std::string("bugs ") + VerbName(command.verb) + ": unknown option " +
                             option);
        }
    }
    const size_t wanted = needsID ? 2 : 1;
    if (positional.size() < wanted)
        throw UsageError(positional.empty() ? "no database file given" : "no bug ID given");
    if (positional.size() > wanted)
        throw UsageError("unexpected argument '" + positional.back() + "'");
    command.file = positional[0];
    if (needsID) {
        const auto id = Number(positional[1], 1, INT32_MAX);
        if (!id) throw UsageError("'" + positional[1] + "' is no bug ID");
        command.id = static_cast<LONG>(*id);
    }
    if (command.login.empty()) throw UsageError("--login is missing");
    if (command.version.empty() == command.role.empty())
        throw UsageError("give either --version or --role");
    if (command.verb == BugsCommand::Verb::Add && !command.changes.description)
        throw UsageError("bugs add needs --description");
    // A bug is reported in a version; one added in a role alone would appear in no list.
    if (command.verb == BugsCommand::Verb::Add && command.version.empty())
        throw UsageError("bugs add needs --version: a bug is reported in a version");
    if (command.verb == BugsCommand::Verb::Update && !command.changes.Any())
        throw UsageError("bugs update needs at least one change");
    if (command.changes.description && command.changes.description->empty())
        throw UsageError("--description cannot be empty");
    command.password =
        password ? *password : (passwordFromEnvironment ? passwordFromEnvironment : "");
    return command;
}

const char* const kBugsUsage =
    "usage: velmora bugs list FILE LOGIN-AND-PLACE [--features] [--where FIELD OP VALUE]...\n"
    "                 [--any] [--sort COLUMN[:desc]] [--format table|csv|json]\n"
    "       velmora bugs show FILE LOGIN-AND-PLACE [--features] [--format table|json] ID\n"
    "       velmora bugs add FILE LOGIN-AND-PLACE --description TEXT [--feature] [CHANGES]\n"
    "       velmora bugs update FILE LOGIN-AND-PLACE [--features] ID CHANGES\n"
    "LOGIN-AND-PLACE: --login L [--password P] (--version V | --role R)\n";

const char* const kBugsHelp =
    "Usage: velmora bugs COMMAND FILE --login L [--password P] (--version V | --role R) ...\n"
    "\n"
    "Works on the bugs (or, with --features, the feature requests) of one database through the\n"
    "engine, with the rights and messages of the logged-in user, as the client does.\n"
    "\n"
    "Logging in:\n"
    "  --login L          the login name\n"
    "  --password P       the password; without it $VELMORA_PASSWORD, else the empty password\n"
    "  --version V        work in a product version: its ID or \"Product/Version\" by name;\n"
    "                     the lists show the bugs reported in it\n"
    "  --role R           work in a role instead: its ID or name (the lists are then empty,\n"
    "                     as in the client, since no version is active; add needs a\n"
    "                     version)\n"
    "\n"
    "Commands:\n"
    "  list FILE ... [--features] [--where FIELD OP VALUE]... [--any] [--sort COLUMN[:desc]]\n"
    "       [--format table|csv|json]\n"
    "      the rows of the version's bug or feature list with the client's columns: ID,\n"
    "      Description, Status, Severity, Priority, Reproductive, Classification, Reported In\n"
    "      Version, Reported By, Reported Date, Fixed In Version, Fixed By, Fixed Date,\n"
    "      Verified By, Verified Date. Every --where adds a condition; they must all hold, or\n"
    "      with --any at least one. FIELD is a filter field (StatusName, PriorityName,\n"
    "      SeverityName, ReproductiveName, Description, Report, Classification, ReportedBy,\n"
    "      FixedBy, ReportedDate, FixedDate, BugID, ...); OP is = <> > >= < <= not like include\n"
    "      (like takes % and _ wildcards, include finds the value anywhere in the text); texts\n"
    "      compare without regard to case, dates are days written YYYY-MM-DD and compare by\n"
    "      whole days. --sort takes a column (\"Reported Date\", ReportedDate, Status, ...).\n"
    "      Dates are shown as ISO 8601 local date-times: YYYY-MM-DD HH:MM in the table,\n"
    "      YYYY-MM-DDTHH:MM:SS in CSV (RFC 4180, with a header row) and JSON (one array of\n"
    "      objects; no date is null).\n"
    "  show FILE ... [--features] [--format table|json] ID\n"
    "      every field of one bug, the four long texts as plain text, and its attachments\n"
    "  add FILE ... --description TEXT [--feature] [CHANGES]\n"
    "      reports a new bug (a feature with --feature) in the version and prints its ID;\n"
    "      unless given, the status is New, priority, severity and reproducibility are the\n"
    "      first of their lists, the classification the product's first; the reporter and\n"
    "      the reported date are the user and now\n"
    "  update FILE ... [--features] ID CHANGES\n"
    "      changes only the given fields of the bug (a feature with --features) and prints\n"
    "      its ID; a new status Fixed or Verified records the user, now and the version as\n"
    "      the client's editor does, any other new status clears them\n"
    "\n"
    "CHANGES:\n"
    "  --description TEXT --status S --priority P --severity S --reproducibility R\n"
    "  --classification NAME --report TEXT --recreate-steps TEXT --workaround TEXT\n"
    "  --resolution TEXT --attach PATH (repeatable)\n"
    "  Names are matched without regard to case against the lists of the database (the\n"
    "  status against the statuses the role may set); an unknown name is an error that lists\n"
    "  the valid ones. A change the role's rights forbid is refused.\n"
    "\n"
    "Exit status: 0 done, 1 refused or failed (the engine's message is printed), 2 wrong\n"
    "arguments or unknown names. Arguments and names are all checked before anything is\n"
    "written; a new bug whose attachment cannot be stored is removed again, and an update\n"
    "that fails removes the attachments it added.\n";

} // namespace velmora::tool
