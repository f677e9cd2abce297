#pragma once
// The part of a database the crash test follows, as plain facts that compare exactly: bugs,
// attachments, products, versions, classifications, which product each role belongs to, and
// user names.
#include <map>
#include <string>
#include <vector>

#include <velmora/Com.h>

#include "DatabaseProbe.h"

namespace velmora::stress {

struct BugFact {
    LONG version = 0;
    std::string description;
    LONG reportedById = 0;
    std::string reportedBy;
    bool operator==(const BugFact&) const = default;
};

struct FileFact {
    LONG bug = 0;
    std::string name;
    LONG size = 0;
    bool operator==(const FileFact&) const = default;
};

struct ProductFact {
    std::string name;
    std::string description;
    bool operator==(const ProductFact&) const = default;
};

struct VersionFact {
    LONG product = 0;
    std::string name;
    bool operator==(const VersionFact&) const = default;
};

struct ClassFact {
    LONG product = 0;
    std::string name;
    bool operator==(const ClassFact&) const = default;
};

struct CrashState {
    std::map<LONG, BugFact> bugs;
    std::map<LONG, FileFact> files;
    std::map<LONG, ProductFact> products;
    std::map<LONG, VersionFact> versions;
    std::map<LONG, ClassFact> classes;
    std::map<LONG, LONG> roleProducts; // role -> product (0 for none)
    std::map<LONG, std::string> userNames;
    bool operator==(const CrashState&) const = default;
};

CrashState ReadCrashState(const DatabaseProbe& db);

// Up to `limit` lines, one per fact that differs, for a report.
std::vector<std::string> Differences(const CrashState& expected, const CrashState& found,
                                     size_t limit);

} // namespace velmora::stress
