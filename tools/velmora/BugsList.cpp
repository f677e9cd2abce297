// `velmora bugs list`: the rows of the version's bug or feature list, filtered and sorted by
// the engine, in one of three formats.
#include <cstdio>

#include "BugRecord.h"
#include "BugsCommands.h"
#include "EngineCall.h"

namespace velmora::tool {
namespace {

using com::Bstr;
using com::ComPtr;

// The --where conditions as a filter set, joined by And (by Or with --any); null when there
// are none.
ComPtr<IBugFilterSet> BuildFilters(const BugsCommand& command) {
    if (command.conditions.empty()) return {};
    auto set = Create<IBugFilterSet>(CLSID_BugFilterSet, IID_IBugFilterSet, "BugFilterSet");
    for (const WhereCondition& condition : command.conditions) {
        const std::string what = "building the condition on " + condition.field;
        auto filter = Create<IBugFilter>(CLSID_BugFilter, IID_IBugFilter, "BugFilter");
        Require(filter->put_Field(Bstr(condition.field).Get()), what);
        Require(filter->put_Condition(condition.condition), what);
        com::Variant value;
        static_cast<VARIANT&>(value) = FilterValue(condition);
        Require(filter->put_Value(value), what);
        Require(filter->put_AndOr(command.any ? LogOr : LogAnd), what);
        Require(set->Add(filter.Get()), what);
    }
    return set;
}

} // namespace

void ListBugs(const BugsCommand& command, BugsSession& session) {
    const ComPtr<IBugFilterSet> filters = BuildFilters(command);
    const ComPtr<IBugSet> set = session.OpenList(command.features, filters.Get());
    if (command.sortField)
        Require(set->Sort(*command.sortField, command.sortDescending ? eDesc : eAsc), "sorting");
    std::vector<std::vector<Cell>> rows;
    Require(set->First(), "reading the list");
    for (;;) {
        LONG end = 1;
        Require(set->IsEnd(&end), "reading the list");
        if (end) break;
        ComPtr<IBug> bug;
        Require(set->get_CurItem(bug.Put()), "reading the list");
        if (!bug) break;
        rows.push_back(ListRow(ReadBug(bug.Get())));
        Require(set->Next(), "reading the list");
    }
    set->Close();
    std::string text;
    switch (command.format) {
    case OutputFormat::Table:
        text = FormatTable(ListColumns(), rows);
        break;
    case OutputFormat::Csv:
        text = FormatCsv(ListColumns(), rows);
        break;
    case OutputFormat::Json:
        text = FormatJson(ListColumns(), rows);
        break;
    }
    std::fwrite(text.data(), 1, text.size(), stdout);
}

} // namespace velmora::tool
