#include "client/list/QuickSearchFilter.h"

#include <limits>
#include <vector>

namespace tarnwick {

namespace {

struct FilterPart {
    ComPtr<IBugFilter> filter;
    QString sql;
    LONG andOr = LogAnd;
};

ComPtr<IBugFilter> NewFilter(const char* field, eLogCondition condition, const VARIANT& value,
                             eLogOperation andOr) {
    auto filter = Create<IBugFilter>(CLSID_BugFilter, IID_IBugFilter);
    Check(filter->put_Field(ToBstr(QString::fromLatin1(field)).Get()));
    Check(filter->put_Condition(condition));
    Check(filter->put_Value(value));
    Check(filter->put_AndOr(andOr));
    return filter;
}

// The search as a list of alternatives (joined by Or): the ID when a number was typed, then
// the description.
std::vector<ComPtr<IBugFilter>> SearchAlternatives(const QString& pattern) {
    std::vector<ComPtr<IBugFilter>> alternatives;
    bool isNumber = false;
    const qlonglong number = pattern.toLongLong(&isNumber);
    if (isNumber && number > 0 && number <= std::numeric_limits<LONG>::max()) {
        velmora::com::Variant id(static_cast<LONG>(number));
        alternatives.push_back(NewFilter("BugID", Equal, id, LogAnd));
    }
    velmora::com::Variant text;
    text.vt = VT_BSTR;
    text.bstrVal = ToBstr(QLatin1Char('%') + pattern + QLatin1Char('%')).Detach();
    alternatives.push_back(NewFilter("Description", Like, text, LogAnd));
    return alternatives;
}

// Appends a copy of filter (value copied as it is, without a type check) joined by andOr.
void AppendCopy(IBugFilterSet* target, IBugFilter* filter, LONG andOr) {
    auto single = Create<IBugFilterSet>(CLSID_BugFilterSet, IID_IBugFilterSet);
    Check(single->Add(filter));
    Check(target->AddBatch(single.Get()));
    const LONG last = Long(target, &IBugFilterSet::get_Count) - 1;
    Check(
        Item(target, &IBugFilterSet::get_Item, last)->put_AndOr(static_cast<eLogOperation>(andOr)));
}

std::vector<FilterPart> PartsOf(IBugFilterSet* set) {
    std::vector<FilterPart> parts;
    const LONG count = Long(set, &IBugFilterSet::get_Count);
    for (LONG i = 0; i < count; ++i) {
        FilterPart part;
        part.filter = Item(set, &IBugFilterSet::get_Item, i);
        part.sql = Text(part.filter.Get(), &IBugFilter::GetSQL);
        eLogOperation andOr = LogAnd;
        Check(part.filter->get_AndOr(&andOr));
        part.andOr = andOr;
        parts.push_back(std::move(part));
    }
    return parts;
}

QString Joiner(LONG andOr) {
    if (andOr == LogAnd) return QStringLiteral(" AND ");
    if (andOr == LogOr) return QStringLiteral(" OR ");
    return QString();
}

// The filter set cannot tell where its second group starts; it is found by writing the text
// each split would give and comparing it with the set's own text. 0 when there is no split.
qsizetype GroupStartOf(IBugFilterSet* set, const std::vector<FilterPart>& parts) {
    const QString actual = Text(set, &IBugFilterSet::GetSQL);
    for (size_t start = 1; start < parts.size(); ++start) {
        QString text = QStringLiteral("(") + parts[0].sql;
        for (size_t i = 1; i < parts.size(); ++i) {
            if (i == start) text += QLatin1Char(')');
            text += Joiner(parts[i].andOr);
            if (i == start) text += QLatin1Char('(');
            text += parts[i].sql;
        }
        text += QLatin1Char(')');
        if (text == actual) return static_cast<qsizetype>(start);
    }
    return 0;
}

} // namespace

QString QuickSearchPattern(const QString& typed) {
    QString pattern;
    for (const QChar c : typed.trimmed()) {
        if (c.category() == QChar::Other_Control || c.isNull()) continue;
        pattern += c == QLatin1Char('%') ? QLatin1Char('_') : c;
    }
    return pattern;
}

ComPtr<IBugFilterSet> CombinedFilter(IBugFilterSet* userFilter, const QString& typed) {
    const QString pattern = QuickSearchPattern(typed);
    if (pattern.isEmpty()) return ComPtr<IBugFilterSet>(userFilter);

    const std::vector<ComPtr<IBugFilter>> search = SearchAlternatives(pattern);
    auto combined = Create<IBugFilterSet>(CLSID_BugFilterSet, IID_IBugFilterSet);
    const std::vector<FilterPart> user =
        userFilter ? PartsOf(userFilter) : std::vector<FilterPart>{};
    if (user.empty()) {
        for (size_t i = 0; i < search.size(); ++i)
            AppendCopy(combined.Get(), search[i].Get(), i == 0 ? LogAnd : LogOr);
        return combined;
    }

    LONG grouped = 0;
    Check(userFilter->get_NewGroup(&grouped));
    const qsizetype start = grouped ? GroupStartOf(userFilter, user) : 0;
    const bool andGroups = start > 0 && user[static_cast<size_t>(start)].andOr == LogAnd;
    if (!andGroups) {
        // One flat list (a split joined with Or reads the same without its parentheses), then
        // the search as the second group.
        for (const FilterPart& part : user)
            AppendCopy(combined.Get(), part.filter.Get(), part.andOr);
        Check(combined->put_NewGroup(1));
        for (size_t i = 0; i < search.size(); ++i)
            AppendCopy(combined.Get(), search[i].Get(), i == 0 ? LogAnd : LogOr);
        return combined;
    }

    // (A) AND (B): keep A as the first group; the second group is B AND search, written as
    // Or-terms: every And-run of B followed by each search alternative.
    for (qsizetype i = 0; i < start; ++i)
        AppendCopy(combined.Get(), user[static_cast<size_t>(i)].filter.Get(),
                   user[static_cast<size_t>(i)].andOr);
    Check(combined->put_NewGroup(1));
    std::vector<std::vector<IBugFilter*>> terms;
    for (size_t i = static_cast<size_t>(start); i < user.size(); ++i) {
        if (i == static_cast<size_t>(start) || user[i].andOr != LogAnd) terms.emplace_back();
        terms.back().push_back(user[i].filter.Get());
    }
    bool first = true;
    for (const auto& term : terms) {
        for (const ComPtr<IBugFilter>& alternative : search) {
            for (size_t i = 0; i < term.size(); ++i) {
                AppendCopy(combined.Get(), term[i], i == 0 && !first ? LogOr : LogAnd);
                first = false;
            }
            AppendCopy(combined.Get(), alternative.Get(), LogAnd);
        }
    }
    return combined;
}

} // namespace tarnwick
