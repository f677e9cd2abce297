// `velmora bugs show`: every field of one bug, its long texts as plain text and its
// attachments, as "Caption: value" lines or as one JSON object.
#include <cstdio>

#include "BugRecord.h"
#include "BugsCommands.h"
#include "EngineCall.h"
#include "RtfText.h"

namespace velmora::tool {
namespace {

using com::Bstr;
using com::ComPtr;

struct Attachment {
    LONG id = 0;
    std::string name;
    LONG size = 0;
    double date = 0;
};

std::vector<Attachment> ReadAttachments(IBug* bug) {
    const char* what = "listing the attachments";
    ComPtr<IFileSet> files;
    Require(bug->get_AttachedFiles(files.Put()), what);
    LONG count = 0;
    Require(RequireObject(files, what)->get_Count(&count), what);
    std::vector<Attachment> result;
    for (LONG i = 0; i < count; ++i) {
        ComPtr<IFile> file;
        Require(files->get_Item(i, file.Put()), what);
        Attachment& entry = result.emplace_back();
        Bstr name;
        Require(RequireObject(file, what)->get_ID(&entry.id), what);
        Require(file->get_FileName(name.Put()), what);
        entry.name = name.Utf8();
        Require(file->get_FileSize(&entry.size), what);
        Require(file->get_FileDate(&entry.date), what);
    }
    return result;
}

// The fields in the order shown, with the JSON member names.
std::vector<std::pair<Column, Cell>> Fields(const BugRecord& bug) {
    std::vector<std::pair<Column, Cell>> fields;
    const std::vector<Cell> row = ListRow(bug);
    for (size_t i = 0; i < row.size(); ++i) {
        fields.emplace_back(ListColumns()[i], row[i]);
        if (i == 0) fields.push_back({{"Type", "Type"}, Cell{bug.feature ? "Feature" : "Bug"}});
    }
    fields.push_back({{"Last Modified By", "LastModifiedBy"}, Cell{bug.lastModifiedBy}});
    fields.push_back({{"Last Modified Date", "LastModifiedDate"}, DateCell(bug.lastModifiedDate)});
    fields.push_back({{"Estimated Time", "EstimatedTime"}, DateCell(bug.estimatedTime)});
    fields.push_back({{"Date Due", "DateDue"}, DateCell(bug.dateDue)});
    return fields;
}

std::vector<std::pair<Column, std::string>> LongTexts(const BugRecord& bug) {
    return {{{"Report", "Report"}, RtfToPlainText(bug.report)},
            {{"Recreate Steps", "RecreateStep"}, RtfToPlainText(bug.recreateStep)},
            {{"Workaround", "Workaround"}, RtfToPlainText(bug.workaround)},
            {{"Resolution", "Resolution"}, RtfToPlainText(bug.resolution)}};
}

std::string AsText(const BugRecord& bug, const std::vector<Attachment>& attachments) {
    std::string out;
    for (const auto& [column, cell] : Fields(bug))
        out += column.caption + ":" + (cell.text.empty() ? "" : " " + cell.text) + "\n";
    for (const auto& [column, text] : LongTexts(bug)) {
        out += column.caption + ":\n";
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find('\n', start);
            if (end == std::string::npos) end = text.size();
            out += "    " + text.substr(start, end - start) + "\n";
            start = end + 1;
        }
    }
    out += "Attachments (" + std::to_string(attachments.size()) + "):\n";
    for (const Attachment& file : attachments)
        out += "    " + std::to_string(file.id) + "  " + file.name + "  " +
               std::to_string(file.size) + " bytes  " + DateCell(file.date).text + "\n";
    return out;
}

std::string AsJson(const BugRecord& bug, const std::vector<Attachment>& attachments) {
    std::string out = "{";
    bool first = true;
    const auto member = [&](const std::string& key, const std::string& json) {
        out += (first ? "\n  " : ",\n  ") + JsonString(key) + ": " + json;
        first = false;
    };
    for (const auto& [column, cell] : Fields(bug))
        member(column.key, cell.null                         ? "null"
                           : cell.kind == Cell::Kind::Number ? cell.text
                                                             : JsonString(cell.text));
    for (const auto& [column, text] : LongTexts(bug))
        member(column.key, JsonString(text));
    std::string files = "[";
    for (size_t i = 0; i < attachments.size(); ++i) {
        const Attachment& file = attachments[i];
        const Cell date = DateCell(file.date);
        files += std::string(i ? ",\n    " : "\n    ") + "{\"ID\": " + std::to_string(file.id) +
                 ", \"FileName\": " + JsonString(file.name) +
                 ", \"FileSize\": " + std::to_string(file.size) +
                 ", \"FileDate\": " + (date.null ? "null" : JsonString(date.text)) + "}";
    }
    member("Attachments", files + (attachments.empty() ? "]" : "\n  ]"));
    return out + "\n}\n";
}

} // namespace

void ShowBug(const BugsCommand& command, BugsSession& session) {
    const ComPtr<IBugSet> set = session.OpenList(command.features, nullptr);
    ComPtr<IBug> bug;
    Require(set->GetBugByID(command.id, bug.Put()),
            "finding " + std::string(command.features ? "feature " : "bug ") +
                std::to_string(command.id) + " in the version");
    const BugRecord record = ReadBug(RequireObject(bug, "finding the bug"));
    const std::vector<Attachment> attachments = ReadAttachments(bug.Get());
    set->Close();
    const std::string text = command.format == OutputFormat::Json ? AsJson(record, attachments)
                                                                  : AsText(record, attachments);
    std::fwrite(text.data(), 1, text.size(), stdout);
}

} // namespace velmora::tool
