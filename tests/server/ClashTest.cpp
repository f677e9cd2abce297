// Two clients of one server database: a row changed by the other since it was read is never
// overwritten, and the other's writes wait for a transaction in progress, or give up after the
// lock wait with the message a busy database file gives.
#include "ServerTestSupport.h"

namespace velmora::test {
namespace {

constexpr int32_t kConcurrency = static_cast<int32_t>(0x80040E38);
constexpr const char* kConcurrencyText =
    "Row cannot be located for updating. Some values may have been changed since it was last read.";

std::string Hex(const std::string& bytes) {
    static const char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char byte : bytes) {
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 15];
    }
    return hex;
}

class OptimisticClash : public ServerTest {
  protected:
    void SetUp() override {
        ServerTest::SetUp();
        if (IsSkipped()) return;
        Execute("INSERT INTO tProduct VALUES (1, 'Alpha', 'first'), (2, 'beta', NULL)");
        connection_.Open(ConnectionString());
    }
    void TearDown() override {
        rows_.Close();
        if (connection_.IsOpen()) connection_.Close();
        ServerTest::TearDown();
    }

    void OpenProduct(int id) {
        rows_.Close();
        rows_.Open("SELECT * FROM tProduct WHERE ProductID = " + std::to_string(id), connection_,
                   db::CursorType::Keyset, db::LockType::Optimistic);
        ASSERT_FALSE(rows_.IsEOF());
    }
    // The pending change is refused as a concurrent one.
    void ExpectConflict() {
        try {
            rows_.Update();
            ADD_FAILURE() << "the change went through";
        } catch (const db::DbError& error) {
            EXPECT_EQ(error.Code(), kConcurrency);
            EXPECT_EQ(error.Description(), kConcurrencyText);
        }
        rows_.CancelUpdate();
    }
    std::string Stored(const std::string& column, int id = 2) {
        return Query("SELECT " + column + " FROM tProduct WHERE ProductID = " + std::to_string(id));
    }

    db::Connection connection_;
    db::Recordset rows_;
};

TEST_F(OptimisticClash, AChangeByAnotherClientIsNotOverwritten) {
    OpenProduct(2);
    // The other client changes a column this one does not write, from NULL.
    Execute("UPDATE tProduct SET ProductDesp = 'theirs' WHERE ProductID = 2");
    rows_.SetValue("ProductName", db::Value::Text("mine"));
    ExpectConflict();
    EXPECT_EQ(Stored("ProductName"), "beta");
    EXPECT_EQ(Stored("ProductDesp"), "theirs");

    // Read again, the row takes the change; writing what the row already holds is no clash.
    rows_.Requery();
    Execute("UPDATE tProduct SET ProductDesp = 'theirs' WHERE ProductID = 2");
    rows_.SetValue("ProductName", db::Value::Text("mine"));
    rows_.Update();
    EXPECT_EQ(Stored("ProductName"), "mine");

    // A row the other client removed is neither written nor deleted.
    Execute("DELETE FROM tProduct WHERE ProductID = 2");
    rows_.SetValue("ProductName", db::Value::Text("again"));
    ExpectConflict();
    EXPECT_EQ(Query("SELECT COUNT(*) FROM tProduct"), "1");
}

// Text columns compare without regard to case, but a change of case is still a change.
TEST_F(OptimisticClash, AChangeOfLetterCaseOnlyIsAChange) {
    OpenProduct(2);
    Execute("UPDATE tProduct SET ProductName = 'BETA' WHERE ProductID = 2");
    rows_.SetValue("ProductDesp", db::Value::Text("mine"));
    ExpectConflict();
    EXPECT_EQ(Stored("ProductDesp"), "NULL");
    EXPECT_EQ(Stored("ProductName"), "BETA");

    // Nor is the row deleted.
    rows_.Requery();
    Execute("UPDATE tProduct SET ProductName = 'Beta' WHERE ProductID = 2");
    try {
        rows_.Delete();
        ADD_FAILURE() << "the changed row was deleted";
    } catch (const db::DbError& error) {
        EXPECT_EQ(error.Code(), kConcurrency);
    }
    EXPECT_EQ(Stored("ProductName"), "Beta");

    // And a change of case made by this client is written as it is.
    rows_.Requery();
    rows_.SetValue("ProductName", db::Value::Text("bEtA"));
    rows_.Update();
    EXPECT_EQ(Stored("ProductName"), "bEtA");
}

// A long text is not kept with its row; its fingerprint still tells a change, also one that
// keeps the length or changes one letter's case.
TEST_F(OptimisticClash, AChangedLongTextIsNoticed) {
    std::string text(100000, 'a');
    Execute("UPDATE tProduct SET ProductDesp = '" + text + "' WHERE ProductID = 2");
    OpenProduct(2);
    EXPECT_EQ(rows_.ActualSize("ProductDesp"), 100000);
    EXPECT_EQ(rows_.GetValue("ProductDesp").asText(), text);

    text[70000] = 'b';
    Execute("UPDATE tProduct SET ProductDesp = '" + text + "' WHERE ProductID = 2");
    rows_.SetValue("ProductName", db::Value::Text("mine"));
    ExpectConflict();
    EXPECT_EQ(Stored("ProductName"), "beta");

    rows_.Requery();
    text[70000] = 'B';
    Execute("UPDATE tProduct SET ProductDesp = '" + text + "' WHERE ProductID = 2");
    rows_.SetValue("ProductName", db::Value::Text("mine"));
    ExpectConflict();
    EXPECT_EQ(Stored("ProductName"), "beta");

    rows_.Requery();
    rows_.SetValue("ProductName", db::Value::Text("mine"));
    rows_.Update();
    EXPECT_EQ(Stored("ProductName"), "mine");
    EXPECT_EQ(Stored("ProductDesp"), text);

    // From long to NULL, and from short to long.
    Execute("UPDATE tProduct SET ProductDesp = NULL WHERE ProductID = 2");
    rows_.SetValue("ProductName", db::Value::Text("lost"));
    ExpectConflict();
    OpenProduct(1);
    Execute("UPDATE tProduct SET ProductDesp = '" + text + "' WHERE ProductID = 1");
    rows_.SetValue("ProductName", db::Value::Text("lost"));
    ExpectConflict();
    EXPECT_EQ(Stored("ProductName", 1), "Alpha");
}

// A long binary is not kept with its row either: a change of its length is noticed.
TEST_F(OptimisticClash, AChangedLongBinaryIsNoticed) {
    const std::string content(100000, '\x5a');
    Execute("INSERT INTO tAttachment (AttachmentID, BugID, FileName, FileSize, FileContent) "
            "VALUES (1, 1, 'trace.bin', 100000, x'" +
            Hex(content) + "')");
    rows_.Open("SELECT * FROM tAttachment WHERE AttachmentID = 1", connection_,
               db::CursorType::Keyset, db::LockType::Optimistic);
    ASSERT_EQ(rows_.ActualSize("FileContent"), 100000);
    Execute("UPDATE tAttachment SET FileContent = x'" + Hex(content.substr(1)) +
            "' WHERE AttachmentID = 1");
    rows_.SetValue("FileName", db::Value::Text("mine.bin"));
    ExpectConflict();
    EXPECT_EQ(Query("SELECT FileName FROM tAttachment"), "trace.bin");

    rows_.Requery();
    rows_.SetValue("FileName", db::Value::Text("mine.bin"));
    rows_.Update();
    EXPECT_EQ(Query("SELECT FileName FROM tAttachment"), "mine.bin");
}

class WriteLock : public OptimisticClash {};

// The other client's write waits for this one's transaction and goes through once it commits;
// neither change is lost.
TEST_F(WriteLock, AWriterWaitsForTheTransactionAndThenGoesThrough) {
    connection_.BeginTrans();
    connection_.Execute("UPDATE tProduct SET ProductName = 'held' WHERE ProductID = 1");
    const std::string other = OtherClientConnection("waiting_writer");
    Child writer([&] {
        db::Connection connection;
        connection.Open(other);
        const auto start = Now();
        const db::LONG changed =
            connection.Execute("UPDATE tProduct SET ProductDesp = 'waited' WHERE ProductID = 2");
        const double waited = SecondsSince(start);
        return "changed " + std::to_string(changed) +
               (waited >= 2.0 ? " after waiting" : " at once, " + std::to_string(waited) + " s");
    });
    ASSERT_TRUE(writer.Started());
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    EXPECT_TRUE(writer.Running()) << "the write did not wait: " << writer.Outcome();
    EXPECT_EQ(Stored("ProductDesp"), "NULL");
    EXPECT_EQ(Stored("ProductName", 1), "Alpha") << "the transaction is not visible before commit";
    connection_.CommitTrans();
    EXPECT_EQ(writer.Outcome(), "changed 1 after waiting");
    EXPECT_EQ(Stored("ProductName", 1), "held");
    EXPECT_EQ(Stored("ProductDesp"), "waited");
}

// Held past the lock wait, the other client's change fails as on a busy file and leaves no trace,
// while this client's transaction goes on and commits.
TEST_F(WriteLock, AWriterGivesUpAfterTheLockWait) {
    connection_.BeginTrans();
    connection_.Execute("UPDATE tProduct SET ProductName = 'held' WHERE ProductID = 1");
    const std::string other = OtherClientConnection("impatient_writer");
    Child writer([&]() -> std::string {
        db::Connection connection;
        connection.Open(other);
        db::Recordset rows;
        rows.Open("SELECT * FROM tProduct WHERE ProductID = 2", connection, db::CursorType::Keyset,
                  db::LockType::Optimistic);
        rows.SetValue("ProductDesp", db::Value::Text("given up"));
        const auto start = Now();
        try {
            rows.Update();
            return "written";
        } catch (const db::DbError& error) {
            const double waited = SecondsSince(start);
            return error.Description() + " (" + std::to_string(error.Code()) + ")" +
                   (waited >= 9.0 && waited < 30.0 ? "" : " after " + std::to_string(waited));
        }
    });
    ASSERT_TRUE(writer.Started());
    EXPECT_EQ(writer.Outcome(),
              "database is locked (" + std::to_string(static_cast<int32_t>(0x80004005)) + ")");
    connection_.Execute("UPDATE tProduct SET ProductDesp = 'mine' WHERE ProductID = 1");
    connection_.CommitTrans();
    EXPECT_EQ(Stored("ProductDesp"), "NULL");
    EXPECT_EQ(Stored("ProductName", 1), "held");
    EXPECT_EQ(Stored("ProductDesp", 1), "mine");
}

} // namespace
} // namespace velmora::test
