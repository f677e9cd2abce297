#pragma once
// The figures of a stress run, counted from the workers' journals.
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "StressExpectation.h"

namespace velmora::stress {

struct StressCounts {
    long operations = 0;
    long succeeded = 0;
    long failed = 0;
    std::map<std::string, std::pair<long, long>> byOperation; // name -> (succeeded, failed)
    std::map<std::string, double> secondsByOperation;         // name -> time spent in it
    std::map<std::string, long> failuresByMessage;            // "<op>: <message>" -> count
};

StressCounts CountOperations(const std::vector<WorkerJournal>& journals);

void PrintSummary(std::ostream& out, int workers, double seconds, const StressCounts& counts,
                  const std::vector<std::string>& violations);

} // namespace velmora::stress
