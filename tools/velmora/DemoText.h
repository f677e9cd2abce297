#pragma once
// The texts of demo bugs and features, built from phrase tables: a plain one-line description
// and the four rich texts (report, steps to recreate, workaround, resolution).
#include <string>

#include "DemoRandom.h"
#include "DemoTeam.h"

namespace velmora::demo {

// What the texts of one bug or feature are about.
struct TextSubject {
    const DemoProduct* product = nullptr;
    const DemoClassification* area = nullptr;
    std::string version;      // reported in
    std::string fixedVersion; // fixed in; empty when not fixed
    std::string status;
    std::string reproducibility;
    bool feature = false;
};

struct BugTexts {
    std::string description;  // plain text
    std::string report;       // RTF
    std::string recreateStep; // RTF
    std::string workaround;   // RTF, or empty
    std::string resolution;   // RTF, or empty while the item is open
};

BugTexts WriteBugTexts(DemoRandom& random, const TextSubject& subject);

// The contents of small files attached to bugs, each about the subject.
std::string WriteLogFile(DemoRandom& random, const TextSubject& subject, double date);
std::string WritePatchFile(DemoRandom& random, const TextSubject& subject);
std::string WriteNotesFile(DemoRandom& random, const TextSubject& subject);

// "2024-06-28 14:05" for an automation date.
std::string FormatDateTime(double date);

} // namespace velmora::demo
