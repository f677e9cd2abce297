#pragma once
// The operations of a stress worker (StressBugWork.cpp, StressAdminWork.cpp) and the little state
// it keeps about what it created.
#include <cstdint>
#include <string>
#include <vector>

#include <velmora/ComSupport.h>

#include "EngineCall.h"
#include "JournalRecord.h"
#include "StressWorker.h"
#include "WorkerSession.h"

namespace velmora::stress {

class StressOperations {
  public:
    StressOperations(const StressPlan& plan, WorkerSession& session);

    // Runs one randomly chosen operation and returns its journal record.
    JournalRecord RunOne(int64_t sequence);

  private:
    struct OwnBug {
        LONG id;
        LONG type;
    };
    struct OwnFile {
        LONG id;
        LONG bug;
        LONG type;
    };
    struct OwnClass {
        LONG id;
        LONG product;
    };

    JournalRecord AddBug();
    JournalRecord UpdateBug();
    JournalRecord DeleteBug();
    JournalRecord AttachFile();
    JournalRecord RemoveFile();
    JournalRecord AddProduct();
    JournalRecord UpdateProduct();
    JournalRecord DeleteProduct();
    JournalRecord AddClass();
    JournalRecord UpdateClass();
    JournalRecord RenameUser();
    JournalRecord Synchronize();

    JournalRecord Begin(const char* name) const;
    static JournalRecord Finish(JournalRecord record, const Outcome& outcome);
    // A text no other operation writes: "w<worker>-op<sequence>".
    std::string Tag() const;
    uint64_t Random();
    size_t Pick(size_t count); // 0 .. count-1; count > 0

    // The bug of some worker listed in the bug list after a refresh; 0 when it lists none.
    LONG ListedBug();
    // The bug with that ID from the list of its type, refreshing the list once when it is not
    // there.
    Outcome FetchBug(LONG id, LONG type, com::ComPtr<IBug>* bug);
    void ForgetBug(LONG id);

    const StressPlan& plan_;
    WorkerSession& session_;
    uint64_t random_;
    int64_t sequence_ = 0;
    std::vector<OwnBug> bugs_;
    std::vector<OwnFile> files_;
    std::vector<LONG> products_;
    std::vector<OwnClass> classes_;
};

} // namespace velmora::stress
