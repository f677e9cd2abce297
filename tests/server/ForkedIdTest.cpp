// Identifiers taken at the same time by several processes, each a client of its own: never one
// twice, none skipped.
#include "ServerTestSupport.h"

#include <memory>
#include <set>
#include <sstream>
#include <vector>

#include "engine/db/NextId.h"

namespace velmora::test {
namespace {

class ForkedIdentifiers : public ServerTest {};

TEST_F(ForkedIdentifiers, EveryProcessGetsIdentifiersOfItsOwn) {
    constexpr int kProcesses = 4;
    constexpr int kEach = 200;
    constexpr int kStart = 5000;
    Execute("UPDATE tNextID SET NextBugID = " + std::to_string(kStart));

    // The children start together: each waits until the parent closes the starting line.
    int start[2];
    ASSERT_EQ(pipe(start), 0);
    std::vector<std::unique_ptr<Child>> children;
    for (int i = 0; i < kProcesses; ++i) {
        const std::string uri = AsAnotherClient(database_, "allocator_" + std::to_string(i));
        children.push_back(std::make_unique<Child>([&start, uri] {
            close(start[1]);
            char go = 0;
            while (read(start[0], &go, 1) < 0 && errno == EINTR) {
            }
            db::SetProcessConnectionString(db::MakeConnectionString(uri));
            // As in a session, the database stays open between allocations.
            db::Connection session;
            session.Open(db::ProcessConnectionString());
            std::string ids;
            for (int n = 0; n < kEach; ++n)
                ids += std::to_string(db::GetNextID("NextBugID")) + " ";
            return ids;
        }));
        ASSERT_TRUE(children.back()->Started());
    }
    close(start[0]);
    close(start[1]);

    std::set<int> all;
    size_t received = 0;
    for (const auto& child : children) {
        std::istringstream ids(child->Outcome());
        int count = 0;
        for (int id = 0; ids >> id; ++count) {
            EXPECT_GE(id, kStart);
            EXPECT_LT(id, kStart + kProcesses * kEach);
            all.insert(id);
        }
        EXPECT_EQ(count, kEach) << "a process received fewer identifiers";
        received += static_cast<size_t>(count);
    }
    EXPECT_EQ(all.size(), received) << "an identifier was handed out twice";
    EXPECT_EQ(all.size(), static_cast<size_t>(kProcesses * kEach));
    EXPECT_EQ(Query("SELECT NextBugID FROM tNextID"), std::to_string(kStart + kProcesses * kEach));
}

} // namespace
} // namespace velmora::test
