#include "CrashState.h"

namespace velmora::stress {
namespace {

LONG IdOf(const std::string& text) {
    return static_cast<LONG>(std::stol(text.empty() ? "0" : text));
}

std::string Show(const BugFact& bug) {
    return "version " + std::to_string(bug.version) + ", '" + bug.description + "', by " +
           std::to_string(bug.reportedById) + " '" + bug.reportedBy + "'";
}
std::string Show(const FileFact& file) {
    return "bug " + std::to_string(file.bug) + ", '" + file.name + "', " +
           std::to_string(file.size) + " bytes";
}
std::string Show(const ProductFact& product) {
    return "'" + product.name + "', '" + product.description + "'";
}
std::string Show(const VersionFact& version) {
    return "product " + std::to_string(version.product) + ", '" + version.name + "'";
}
std::string Show(const ClassFact& classification) {
    return "product " + std::to_string(classification.product) + ", '" + classification.name + "'";
}
std::string Show(LONG product) {
    return "product " + std::to_string(product);
}
std::string Show(const std::string& name) {
    return "'" + name + "'";
}

template <class Fact>
void Compare(const char* what, const std::map<LONG, Fact>& expected,
             const std::map<LONG, Fact>& found, size_t limit, std::vector<std::string>& lines) {
    auto add = [&](LONG id, const std::string& text) {
        if (lines.size() < limit)
            lines.push_back(std::string(what) + " " + std::to_string(id) + ": " + text);
    };
    for (const auto& [id, fact] : expected) {
        const auto it = found.find(id);
        if (it == found.end()) {
            add(id, "expected " + Show(fact) + ", missing");
        } else if (!(it->second == fact)) {
            add(id, "expected " + Show(fact) + ", found " + Show(it->second));
        }
    }
    for (const auto& [id, fact] : found) {
        if (!expected.contains(id)) add(id, "not expected, found " + Show(fact));
    }
}

} // namespace

CrashState ReadCrashState(const DatabaseProbe& db) {
    CrashState state;
    for (const auto& row : db.Rows("SELECT BugID, ReportedInVersionID, Description, "
                                   "ReportedByID, ReportedBy FROM tBugReport"))
        state.bugs[IdOf(row[0])] = {IdOf(row[1]), row[2], IdOf(row[3]), row[4]};
    for (const auto& row : db.Rows("SELECT AttachmentID, BugID, FileName, FileSize "
                                   "FROM tAttachment"))
        state.files[IdOf(row[0])] = {IdOf(row[1]), row[2], IdOf(row[3])};
    for (const auto& row : db.Rows("SELECT ProductID, ProductName, ProductDesp FROM tProduct"))
        state.products[IdOf(row[0])] = {row[1], row[2]};
    for (const auto& row : db.Rows("SELECT VersionID, ProductID, VersionName FROM tVersion"))
        state.versions[IdOf(row[0])] = {IdOf(row[1]), row[2]};
    for (const auto& row :
         db.Rows("SELECT ClassificationID, ProductID, ClassName FROM tClassification"))
        state.classes[IdOf(row[0])] = {IdOf(row[1]), row[2]};
    for (const auto& row : db.Rows("SELECT RoleID, ProductID FROM tRole"))
        state.roleProducts[IdOf(row[0])] = IdOf(row[1]);
    for (const auto& row : db.Rows("SELECT UserID, UserName FROM tUser"))
        state.userNames[IdOf(row[0])] = row[1];
    return state;
}

std::vector<std::string> Differences(const CrashState& expected, const CrashState& found,
                                     size_t limit) {
    std::vector<std::string> lines;
    Compare("bug", expected.bugs, found.bugs, limit, lines);
    Compare("attachment", expected.files, found.files, limit, lines);
    Compare("product", expected.products, found.products, limit, lines);
    Compare("version", expected.versions, found.versions, limit, lines);
    Compare("classification", expected.classes, found.classes, limit, lines);
    Compare("role", expected.roleProducts, found.roleProducts, limit, lines);
    Compare("user", expected.userNames, found.userNames, limit, lines);
    return lines;
}

} // namespace velmora::stress
