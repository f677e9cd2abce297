#include "DemoText.h"

#include <cstdio>
#include <vector>

#include "DemoDate.h"
#include "RtfWriter.h"

namespace velmora::demo {
namespace {

using Phrases = std::vector<std::string>;

struct Symptom {
    std::string title;  // heads the description: "<title> when <operation>"
    std::string actual; // what the reporter saw
};

const std::vector<Symptom>& Symptoms() {
    static const std::vector<Symptom> symptoms = {
        {"Crash", "The program closes without a message and the last change is lost."},
        {"Freeze", "The window stops responding for over a minute and has to be closed."},
        {"Wrong totals", "The totals differ from the sum of the rows by a few cents."},
        {"Error message", "An error box says \"Unexpected value\" and the action is abandoned."},
        {"Very slow", "It takes about forty seconds where the previous version needed two."},
        {"Garbled text", "Accented characters show as question marks."},
        {"Layout broken", "Buttons overlap and the last column is cut off."},
        {"Change not saved", "After a restart the change is gone."},
        {"Memory keeps growing", "Memory use grows by about 100 MB each time."},
        {"Duplicate entries", "Every entry appears twice afterwards."},
        {"Dates one day early", "Dates are shown one day early for users west of UTC."},
        {"Missing labels", "Several labels show their internal names instead of text."},
    };
    return symptoms;
}

const Phrases kExpected = {
    "The action completes and the result matches the previous version.",
    "It works as the manual describes.",
    "No message; the data stays exactly as entered.",
    "It finishes within a few seconds.",
};

const Phrases kBugSources = {
    "Found during regression testing of %s.",
    "A customer reported this on the support line; it happens to them every day.",
    "Seen in the nightly test run on the build server.",
    "Reported by two customers after upgrading to %s.",
    "Noticed while preparing the release notes for %s.",
};

const Phrases kDesktopEnvironments = {
    "Windows 11 Pro, 16 GB memory",
    "Windows 10 22H2 on a terminal server",
    "Debian 12 with GNOME, two monitors",
    "macOS 14 on Apple silicon",
};

const Phrases kMobileEnvironments = {
    "Android 14 on a Pixel 7",
    "Android 12 on a rugged Samsung tablet",
    "iOS 17 on an iPhone 13",
    "iOS 16 on an iPad mini",
};

const Phrases kExtraSteps = {
    "Wait until the progress bar reaches the end.", "Repeat the last step a second time.",
    "Switch to another window and back.",           "Leave it running for ten minutes.",
    "Turn the network off and on again.",
};

const Phrases kWorkarounds = {
    "Restart the program and repeat the action; the second attempt works.",
    "Split the work into batches of about 1,000 rows.",
    "Use the export of the previous version, which still works.",
    "Close the preview pane before starting.",
    "Sign out and sign in again, then repeat the action.",
};

const Phrases kFeatureSources = {
    "Asked for by several customers in the last survey.",
    "Our own support team needs this every week.",
    "A competitor added this last year; customers mention it in sales calls.",
    "Suggested by the pilot customers of %s.",
};

const Phrases kFeatureReasons = {
    "It saves each user about an hour a week.",
    "It removes the most common support question about this area.",
    "Two large customers have made it a condition for renewing.",
    "It lets administrators roll the product out without help from us.",
};

const Phrases kAcceptance = {
    "The option is off by default and described in the help.",
    "It works the same online and offline.",
    "Existing data is not changed by turning it on.",
    "Covered by an automated test in the nightly run.",
    "Only administrators can change the setting.",
};

const Phrases kCauses = {
    "A counter was kept as a 16-bit number and overflowed.",
    "The date was converted with the server's time zone instead of the user's.",
    "The same lock was taken twice on one path.",
    "The list was refreshed from a worker thread.",
    "The file was read with the wrong character encoding.",
    "An error from the network layer was ignored.",
};

const Phrases kFixes = {
    "Corrected the conversion and added a regression test.",
    "Moved the work to a background task that reports its progress.",
    "Took the lock once and released it on every path.",
    "Read the file as UTF-8 and kept the old encoding as a fallback.",
    "Retry the request and tell the user when it fails for good.",
};

const Phrases kFixNotes = {
    "Regression test added to the nightly suite.",
    "Release note written.",
    "Checked on every supported platform.",
    "Reviewed by a second developer.",
};

const Phrases kByDesign = {
    "The program asks before it overwrites data; skipping that question would be unsafe.",
    "Totals are rounded per line, as the tax rules require.",
    "The limit protects the server; administrators can raise it.",
};

const Phrases kWillNotFix = {
    "Affects only a configuration we no longer support.",
    "The cost of a fix is out of proportion to the few users affected.",
    "The area is being replaced in the next major version.",
};

const Phrases kPostponed = {
    "Moved to the next release: the fix needs a change in the file format.",
    "Waits for the new version of the third-party component.",
    "Planned together with the redesign of this area.",
};

const Phrases kLogEvents = {
    "request finished in %s ms", "cache miss for key %s", "retrying in %s ms",
    "queue length %s",           "worker %s started",     "worker %s stopped",
    "opened file handle %s",     "flushed %s pages",      "timer fired after %s ms",
};

const Phrases kNotes = {
    "Customer runs the program from a network drive.",
    "Happened right after the nightly backup.",
    "Anti-virus software was scanning at the same time.",
    "The same steps work on the test machine.",
    "Screen recording available on request.",
};

std::string Format(const std::string& pattern, const std::string& value) {
    if (pattern.find("%s") == std::string::npos) return pattern;
    std::string result = pattern;
    result.replace(result.find("%s"), 2, value);
    return result;
}

std::string Capitalised(std::string text) {
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z')
        text[0] = static_cast<char>(text[0] - 'a' + 'A');
    return text;
}

std::string FrequencySentence(const std::string& reproducibility) {
    if (reproducibility == "Always") return "It happens every time.";
    if (reproducibility == "Sometimes") return "It happens on about one attempt in three.";
    if (reproducibility == "Rarely") return "We have seen it twice in a week of testing.";
    if (reproducibility == "Unable to Reproduce")
        return "We could not make it happen again on our machines.";
    return "";
}

const std::string& Environment(DemoRandom& random, const DemoProduct& product) {
    return random.Pick(product.mobile ? kMobileEnvironments : kDesktopEnvironments);
}

void WriteBug(DemoRandom& random, const TextSubject& subject, BugTexts* texts) {
    const Symptom& symptom = random.Pick(Symptoms());
    const std::string& operation = random.Pick(subject.area->operations);
    texts->description = symptom.title + " when " + operation;

    RtfWriter report;
    report.Text(Format(random.Pick(kBugSources), subject.version)).EndParagraph();
    report.Bold("Expected: ").Text(random.Pick(kExpected)).EndParagraph();
    report.Bold("Actual: ").Text(symptom.actual + " " + FrequencySentence(subject.reproducibility));
    report.EndParagraph();
    report.Italic("Environment: " + Environment(random, *subject.product)).EndParagraph();
    texts->report = report.Document();

    RtfWriter steps;
    steps.Bold("Steps to recreate").EndParagraph();
    steps.Bullet(subject.product->mobile ? "Open the app and sign in as a technician."
                                         : "Start " + subject.product->name + " " +
                                               subject.version + " and open a sample file.");
    steps.Bullet("Go to " + subject.area->name + ".");
    steps.Bullet("Try " + operation + ".");
    if (random.Percent(60)) steps.Bullet(random.Pick(kExtraSteps));
    steps.Text("Result: ").Italic(symptom.actual).EndParagraph();
    texts->recreateStep = steps.Document();

    if (random.Percent(50)) {
        RtfWriter workaround;
        workaround.Text(random.Pick(kWorkarounds));
        if (random.Percent(40)) workaround.Italic(" (confirmed by support)");
        texts->workaround = workaround.EndParagraph().Document();
    }
}

void WriteFeature(DemoRandom& random, const TextSubject& subject, BugTexts* texts) {
    const std::string& wish = random.Pick(subject.area->wishes);
    texts->description = wish;

    RtfWriter report;
    report.Text(Format(random.Pick(kFeatureSources), subject.version)).EndParagraph();
    report.Bold("Request: ").Text(wish + ".").EndParagraph();
    report.Bold("Why: ").Text(random.Pick(kFeatureReasons)).EndParagraph();
    texts->report = report.Document();

    RtfWriter criteria;
    criteria.Bold("Acceptance criteria").EndParagraph();
    const size_t first = random.Below(static_cast<uint32_t>(kAcceptance.size()));
    const int count = random.Between(2, 3);
    for (int i = 0; i < count; ++i)
        criteria.Bullet(kAcceptance[(first + i) % kAcceptance.size()]);
    texts->recreateStep = criteria.Document();

    if (random.Percent(15)) {
        RtfWriter workaround;
        workaround.Text("Until then, ")
            .Italic("support")
            .Text(" has a spreadsheet template that "
                  "covers most of it.");
        texts->workaround = workaround.EndParagraph().Document();
    }
}

std::string WriteResolution(DemoRandom& random, const TextSubject& subject) {
    const std::string& status = subject.status;
    RtfWriter resolution;
    if (status == "Fixed" || status == "Verified") {
        if (subject.feature) {
            resolution.Bold("Done: ").Text("implemented in " + subject.fixedVersion + ".");
        } else {
            resolution.Bold("Cause: ").Text(random.Pick(kCauses)).EndParagraph();
            resolution.Bold("Fix: ").Text(random.Pick(kFixes) + " Available in " +
                                          subject.fixedVersion + ".");
        }
        resolution.EndParagraph();
        const int notes = random.Between(1, 2);
        const size_t first = random.Below(static_cast<uint32_t>(kFixNotes.size()));
        for (int i = 0; i < notes; ++i)
            resolution.Bullet(kFixNotes[(first + i) % kFixNotes.size()]);
    } else if (status == "By Design") {
        resolution.Bold("By design: ").Text(random.Pick(kByDesign)).EndParagraph();
    } else if (status == "Cannot Reproduce") {
        resolution.Italic("Tried on three machines with the steps above; it did not happen.")
            .EndParagraph();
        resolution.Text("Please reopen it with a log file if it comes back.").EndParagraph();
    } else if (status == "Will Not Fix") {
        resolution.Bold("Will not fix: ").Text(random.Pick(kWillNotFix)).EndParagraph();
    } else if (status == "Postponed") {
        resolution.Text(random.Pick(kPostponed)).EndParagraph();
    } else {
        return {};
    }
    return resolution.Document();
}

// "hh:mm:ss", some seconds after the time of day of the date.
std::string ClockTime(double date, int extraSeconds) {
    const CivilTime time = ToCivil(date);
    const int seconds = (time.hour * 3600 + time.minute * 60 + time.second + extraSeconds) % 86400;
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
    return text;
}

} // namespace

BugTexts WriteBugTexts(DemoRandom& random, const TextSubject& subject) {
    BugTexts texts;
    if (subject.feature)
        WriteFeature(random, subject, &texts);
    else
        WriteBug(random, subject, &texts);
    texts.resolution = WriteResolution(random, subject);
    return texts;
}

std::string FormatDateTime(double date) {
    const CivilTime time = ToCivil(date);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", time.year, time.month, time.day,
                  time.hour, time.minute);
    return text;
}

std::string WriteLogFile(DemoRandom& random, const TextSubject& subject, double date) {
    const std::string day = FormatDateTime(date).substr(0, 10);
    const std::string component = subject.area->slug;
    std::string log;
    int second = 0;
    const int lines = random.Between(6, 16);
    for (int i = 0; i < lines; ++i) {
        second += random.Between(1, 40);
        const std::string event =
            Format(random.Pick(kLogEvents), std::to_string(random.Between(1, 900)));
        log += day + " " + ClockTime(date, second) + " INFO  [" + component + "] " + event + "\n";
    }
    log += day + " " + ClockTime(date, second + 1) + " ERROR [" + component + "] " +
           Capitalised(random.Pick(subject.area->operations)) + " failed\n";
    log += "    at " + component +
           "::Worker::Run (worker.cpp:" + std::to_string(random.Between(40, 400)) + ")\n";
    log += "    at " + component +
           "::Queue::Drain (queue.cpp:" + std::to_string(random.Between(40, 400)) + ")\n";
    return log;
}

std::string WritePatchFile(DemoRandom& random, const TextSubject& subject) {
    const std::string file = "src/" + subject.area->slug + "/" + subject.area->slug + "_worker.cpp";
    const int line = random.Between(20, 600);
    std::string patch = "--- a/" + file + "\n+++ b/" + file + "\n";
    patch += "@@ -" + std::to_string(line) + ",6 +" + std::to_string(line) + ",7 @@\n";
    patch += "     auto batch = queue.Take(limit);\n";
    patch += "     if (batch.empty()) return;\n";
    patch += "-    Process(batch);\n";
    patch += "+    // " + random.Pick(kCauses) + "\n";
    patch += "+    if (!Process(batch)) queue.Retry(batch);\n";
    patch += "     Report(batch.size());\n";
    patch += " }\n";
    return patch;
}

std::string WriteNotesFile(DemoRandom& random, const TextSubject& subject) {
    std::string notes = "Notes on " + subject.product->name + " " + subject.version + ", " +
                        subject.area->name + "\n\n";
    const int count = random.Between(2, 4);
    for (int i = 0; i < count; ++i)
        notes += "- " + random.Pick(kNotes) + "\n";
    notes += "- Seen on " + Environment(random, *subject.product) + ".\n";
    return notes;
}

} // namespace velmora::demo
