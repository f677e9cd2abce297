// Changes through the object model that run out of memory part way: for every allocation a
// change makes, a run in which that allocation fails must report the failure and leave every
// table of the database as it was, and a run in which nothing fails must store the change.
#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "engine/admin/Product.h"
#include "tests/session_admin/SessionAdminTestSupport.h"

namespace {

// Allocations left before the one that fails; negative: none fails.
std::atomic<long> allocationsLeft{-1};
std::atomic<bool> failed{false};

void* Allocate(std::size_t size) {
    if (allocationsLeft.load(std::memory_order_relaxed) >= 0 &&
        allocationsLeft.fetch_sub(1, std::memory_order_relaxed) == 0) {
        failed = true;
        throw std::bad_alloc();
    }
    if (void* block = std::malloc(size ? size : 1)) return block;
    throw std::bad_alloc();
}

} // namespace

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
// The engine allocates some objects with the non-throwing form; it must fail the same way and
// release through the same free, or a checked allocator sees new and free mismatched.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return Allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return Allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
    std::free(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
    std::free(block);
}
void operator delete(void* block) noexcept {
    std::free(block);
}
void operator delete[](void* block) noexcept {
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    std::free(block);
}

namespace velmora::test {
namespace {

class OutOfMemoryTest : public SessionAdminTest {
  protected:
    // Every row of every table, in a fixed order.
    std::string Dump() {
        std::string all;
        sqlite3* db = nullptr;
        if (sqlite3_open(database_.c_str(), &db) != SQLITE_OK) return "<unreadable>";
        std::string tables;
        const auto collect = [](void* out, int columns, char** values, char**) {
            auto& text = *static_cast<std::string*>(out);
            for (int i = 0; i < columns; ++i)
                text += std::string(values[i] ? values[i] : "NULL") + "|";
            text += "\n";
            return 0;
        };
        sqlite3_exec(db, "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name",
                     collect, &tables, nullptr);
        size_t start = 0;
        for (size_t end; (end = tables.find("|\n", start)) != std::string::npos; start = end + 2) {
            const std::string table = tables.substr(start, end - start);
            std::string rows;
            sqlite3_exec(db, ("SELECT * FROM \"" + table + "\"").c_str(), collect, &rows, nullptr);
            // Rows in a fixed order, whatever order the table returns them in.
            std::vector<std::string> lines;
            for (size_t from = 0, to; (to = rows.find('\n', from)) != std::string::npos;
                 from = to + 1)
                lines.push_back(rows.substr(from, to - from));
            std::sort(lines.begin(), lines.end());
            all += "[" + table + "]\n";
            for (const auto& line : lines)
                all += line + "\n";
        }
        sqlite3_close(db);
        return all;
    }

    // A logged-in session on the database as `pristine_` holds it.
    void Restart() {
        session_->Close();
        std::filesystem::copy_file(pristine_, database_,
                                   std::filesystem::copy_options::overwrite_existing);
        ASSERT_EQ(Open(), S_OK);
        ASSERT_EQ(Login("Admin", ""), S_OK);
        ASSERT_EQ(session_->SetCurRole(21), S_OK);
    }

    // Runs `change` once without failures for the stored result, then with the Nth allocation
    // failing for N = 0, 1, 2, ... until a run makes no more allocations than N. `prepare` builds
    // what the change works on, before any allocation may fail.
    void FailEachAllocation(
        const std::function<HRESULT()>& change, const std::function<void()>& prepare = [] {}) {
        pristine_ = database_ + ".pristine";
        std::filesystem::copy_file(database_, pristine_);
        Restart();
        const std::string before = Dump();
        prepare();
        ASSERT_EQ(change(), S_OK) << ErrorDescription();
        const std::string after = Dump();
        ASSERT_NE(before, after);

        for (long n = 0;; ++n) {
            ASSERT_LT(n, 200000) << "the change never completed";
            Restart();
            prepare();
            failed = false;
            allocationsLeft = n;
            const HRESULT hr = change();
            allocationsLeft = -1;
            if (!failed) {
                EXPECT_EQ(hr, S_OK) << ErrorDescription();
                EXPECT_EQ(Dump(), after);
                failures_ = n;
                return;
            }
            if (hr == S_OK) {
                // The failed allocation was recovered from: the change must then be whole.
                EXPECT_EQ(Dump(), after) << "allocation " << n;
            } else {
                // Out of memory, or the member's own described failure.
                EXPECT_TRUE(hr == E_OUTOFMEMORY || (hr == E_FAIL && !ErrorDescription().empty()))
                    << "allocation " << n << " gave 0x" << std::hex << hr;
                EXPECT_EQ(Dump(), before) << "allocation " << n;
            }
            if (HasFailure()) return;
        }
    }

    std::string pristine_;
    long failures_ = 0;
};

// The set makes room for the product before storing it, so no failing allocation can report a
// committed product as not stored.
TEST_F(OutOfMemoryTest, AddingAProductWithThreeVersions) {
    ComPtr<engine::CProduct> product;
    ComPtr<IProductSet> products;
    FailEachAllocation([&] { return products->Add(product.Get()); },
                       [&] {
                           product = engine::CreateObject<engine::CProduct>();
                           product->put_Name(Bstr("Forge").Get());
                           for (const char* name : {"1.0", "1.1", "2.0"}) {
                               ComPtr<IVersion> version;
                               ASSERT_EQ(product->AddVersion(Bstr(name).Get(), Bstr("").Get(),
                                                             45000, version.Put()),
                                         S_OK);
                           }
                           ASSERT_EQ(session_->get_ProductSet(products.Put()), S_OK);
                       });
    EXPECT_GT(failures_, 10);
}

TEST_F(OutOfMemoryTest, SynchronizingStaleNames) {
    Execute("INSERT INTO tBugReport (BugID, BugType, ClassID, Classification, ReportedByID,"
            " ReportedBy, ReportedInVersionID, ReportedInVersion, FixedByID, FixedBy) VALUES"
            " (1, 0, 1000, 'Old UI', 2, 'Robert', 100, 'one', 2, 'Robert'),"
            " (2, 0, 1001, 'Old Core', 1, 'Adm', 101, 'two', 0, NULL)");
    FailEachAllocation([&] { return session_->Synchronize(); });
    EXPECT_GT(failures_, 10);
}

TEST_F(OutOfMemoryTest, ReassigningAUsersClassifications) {
    Execute("INSERT INTO tUserClassification VALUES (2, 1000), (2, 1100)");
    LONG classes[] = {1001, 1100, 1000};
    FailEachAllocation([&] { return session_->AssignUserClassification(2, classes, 3); });
    EXPECT_GT(failures_, 10);
}

} // namespace
} // namespace velmora::test
