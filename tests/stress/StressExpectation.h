#pragma once
// What the database must hold after a stress run, worked out from the workers' journals alone:
// every reported addition, the last reported value of everything updated, what reported
// deletions removed. Identifiers handed out twice are found on the way.
#include <map>
#include <set>
#include <string>
#include <vector>

#include <velmora/Com.h>

#include "JournalRecord.h"

namespace velmora::stress {

struct WorkerJournal {
    int worker = 0; // from 0
    std::vector<JournalRecord> records;
};

// The values one successful or failed write put (or tried to put) into a row.
struct BugValues {
    LONG type = 0;
    std::string description;
    std::string reportPrint; // fingerprint of Report
    std::string priority;
    bool operator==(const BugValues&) const = default;
};

struct ExpectedBug {
    int owner = 0;
    BugValues values;                    // as the last successful add or update left them
    std::vector<BugValues> failedWrites; // what updates that reported failure tried to write
};

struct ExpectedFile {
    LONG bug = 0;
    std::string name;
    LONG size = 0;
    std::string contentPrint;
};

struct ExpectedProduct {
    int owner = 0;
    std::string name;
    std::string description;
    std::map<LONG, std::string> versions; // id -> name
    std::vector<std::string> failedDescriptions;
};

struct ExpectedClass {
    LONG product = 0;
    std::string name;
    std::vector<std::string> failedNames;
};

struct ExpectedUser {
    std::string name;
    std::vector<std::string> failedNames;
};

struct StressExpectation {
    std::map<LONG, ExpectedBug> bugs;
    std::map<LONG, ExpectedFile> files;
    std::map<LONG, ExpectedProduct> products;
    std::map<LONG, ExpectedClass> classes;
    std::map<LONG, ExpectedUser> users; // renamed users only
    std::set<LONG> deletedBugs;
    std::set<LONG> deletedFiles;
    std::set<LONG> deletedProducts;
    std::vector<std::string> violations; // identifiers handed out twice, malformed records
};

StressExpectation BuildExpectation(const std::vector<WorkerJournal>& journals);

// "12:1.0;13:2.0" -> {12: "1.0", 13: "2.0"}; false when malformed.
bool ParseVersionList(const std::string& text, std::map<LONG, std::string>* versions);

} // namespace velmora::stress
