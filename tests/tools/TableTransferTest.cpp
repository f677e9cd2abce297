// Moving tables between two databases through the data layer and checking the result by
// digest: every row and every attachment byte arrives, large contents go in pieces, and the
// digest sees any difference in content (letter case, NULL against empty, one byte of a large
// file, values trading places) but not the order the rows are stored in.
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "RowDigest.h"
#include "TableTransfer.h"
#include "ToolTestSupport.h"
#include "engine/db/ConnectionString.h"
#include "engine/db/Database.h"
#include "engine/db/Schema.h"

namespace velmora::test {
namespace {

using db::Connection;
using db::Value;
using tool::DigestTable;
using tool::TableDigest;

std::vector<uint8_t> RandomBytes(size_t size, unsigned seed) {
    std::vector<uint8_t> bytes(size);
    std::mt19937 random(seed);
    for (uint8_t& byte : bytes)
        byte = static_cast<uint8_t>(random());
    return bytes;
}

class TableTransfer : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(db::CreateSeedDatabase(source_), "");
        from_.Open(db::MakeConnectionString(source_));
        const std::string insert = "INSERT INTO tAttachment (AttachmentID, BugID, FileName, "
                                   "FileSize, FileDate, FileContent) VALUES (?, ?, ?, ?, ?, ?)";
        // Three pieces and a bit, one piece exactly, a few bytes, empty, and NULL.
        large_ = RandomBytes(3 * tool::kPieceBytes + 5, 1);
        const std::vector<std::vector<uint8_t>> contents = {
            large_, RandomBytes(tool::kPieceBytes, 2), {'a', 0, 'b'}, {}};
        for (size_t i = 0; i < contents.size(); ++i)
            from_.Execute(insert, {Value::Int(static_cast<db::LONG>(i + 1)), Value::Int(7),
                                   Value::Text("file" + std::to_string(i)),
                                   Value::Int(static_cast<db::LONG>(contents[i].size())),
                                   Value::Date(45000.25), Value::Binary(contents[i])});
        from_.Execute(insert, {Value::Int(9), Value::Null(), Value::Null(), Value::Null(),
                               Value::Null(), Value::Null()});
        from_.Execute("INSERT INTO tUserRole (UserID, RoleID) VALUES (1, 2), (3, 4)");
    }

    // An empty file with the tables and no rows, open on to_.
    void MakeDestination(const std::string& path) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        ASSERT_GE(fd, 0);
        ::close(fd);
        to_.Open(db::MakeConnectionString(path));
        db::CreateSchema(to_, /*seedRows=*/false);
    }

    TableDigest Digest(Connection& connection, const std::string& table) {
        return DigestTable(connection, table, tool::TableColumns(from_, table), nullptr);
    }

    TempDir dir_;
    std::string source_ = dir_.File("source.mdb");
    std::string destination_ = dir_.File("copy.mdb");
    std::vector<uint8_t> large_;
    Connection from_, to_;
};

TEST_F(TableTransfer, EveryRowAndEveryByteArrivesAndTheDigestsAgree) {
    MakeDestination(destination_);
    db::Transaction writing(to_);
    for (const std::string& table : db::TableNames()) {
        SCOPED_TRACE(table);
        const std::vector<std::string> columns = tool::TableColumns(from_, table);
        std::vector<uint64_t> seen;
        const tool::CopiedRows copied = tool::CopyRows(
            from_, to_, table, columns, [&seen](uint64_t done) { seen.push_back(done); });
        EXPECT_EQ(copied.rows, tool::CountRows(from_, table));
        EXPECT_EQ(tool::CountRows(to_, table), copied.rows);
        ASSERT_FALSE(seen.empty());
        EXPECT_EQ(seen.back(), copied.rows) << "the last report is the whole table";
        if (table == "tAttachment")
            EXPECT_EQ(copied.streamedBytes, large_.size() + tool::kPieceBytes + 3);
        else
            EXPECT_EQ(copied.streamedBytes, 0u);
        const TableDigest expected = Digest(from_, table);
        EXPECT_EQ(expected.rows, copied.rows);
        EXPECT_EQ(Digest(to_, table), expected);
    }
    writing.Commit();
    to_.Close();

    Database copy(destination_), original(source_);
    for (const char* table : {"tAttachment", "tNextID", "tUser", "tStatus", "tUserRole"})
        EXPECT_EQ(copy.Rows(std::string("SELECT * FROM ") + table + " ORDER BY 1"),
                  original.Rows(std::string("SELECT * FROM ") + table + " ORDER BY 1"))
            << table;
    EXPECT_EQ(copy.Rows("SELECT AttachmentID, typeof(FileContent), length(FileContent) FROM "
                        "tAttachment WHERE AttachmentID >= 4 ORDER BY 1"),
              (std::vector<std::vector<std::string>>{{"4", "blob", "0"}, {"9", "null", "<null>"}}));
}

TEST_F(TableTransfer, TheDigestSeesEveryChangeOfContentButNotTheRowOrder) {
    MakeDestination(destination_);
    // The rows in the opposite order: the same digest.
    for (const std::string& table : db::TableNames()) {
        const std::vector<std::string> columns = tool::TableColumns(from_, table);
        db::Recordset rows;
        rows.Open("SELECT * FROM " + table + " ORDER BY rowid DESC", from_, db::CursorType::Static,
                  db::LockType::ReadOnly);
        std::string insert = "INSERT INTO " + table + " VALUES (";
        for (size_t i = 0; i < columns.size(); ++i)
            insert += i ? ", ?" : "?";
        for (; !rows.IsEOF(); rows.MoveNext()) {
            std::vector<Value> values;
            for (db::LONG i = 0; i < rows.FieldCount(); ++i)
                values.push_back(rows.GetValue(i));
            to_.Execute(insert + ")", values);
        }
        EXPECT_EQ(Digest(to_, table), Digest(from_, table)) << table;
    }
    const TableDigest statuses = Digest(from_, "tStatus");
    const TableDigest attachments = Digest(from_, "tAttachment");
    const TableDigest userRoles = Digest(from_, "tUserRole");
    const auto changed = [&](const std::string& change, const std::string& undo,
                             const std::string& table, const TableDigest& expected) {
        SCOPED_TRACE(change);
        to_.Execute(change);
        const TableDigest after = Digest(to_, table);
        EXPECT_EQ(after.rows, expected.rows);
        EXPECT_NE(after.checksum, expected.checksum);
        to_.Execute(undo);
        EXPECT_EQ(Digest(to_, table), expected);
    };
    changed("UPDATE tStatus SET StatusName = 'NEW' WHERE StatusName = 'New'",
            "UPDATE tStatus SET StatusName = 'New' WHERE StatusName = 'NEW'", "tStatus", statuses);
    changed("UPDATE tAttachment SET FileName = '' WHERE AttachmentID = 9",
            "UPDATE tAttachment SET FileName = NULL WHERE AttachmentID = 9", "tAttachment",
            attachments);
    changed("UPDATE tAttachment SET FileContent = NULL WHERE AttachmentID = 4",
            "UPDATE tAttachment SET FileContent = x'' WHERE AttachmentID = 4", "tAttachment",
            attachments);
    // One byte in the middle of the large file's third piece.
    {
        std::vector<uint8_t> altered = large_;
        altered[2500000] ^= 0x01;
        const std::string set = "UPDATE tAttachment SET FileContent = ? WHERE AttachmentID = 1";
        to_.Execute(set, {Value::Binary(altered)});
        EXPECT_NE(Digest(to_, "tAttachment").checksum, attachments.checksum);
        to_.Execute(set, {Value::Binary(large_)});
        EXPECT_EQ(Digest(to_, "tAttachment"), attachments);
    }
    // The values of a row change places; the same set of values in the table.
    changed("UPDATE tUserRole SET UserID = RoleID, RoleID = UserID WHERE UserID = 1",
            "UPDATE tUserRole SET UserID = RoleID, RoleID = UserID WHERE UserID = 2", "tUserRole",
            userRoles);
    // A row fewer, and one row twice.
    to_.Execute("DELETE FROM tStatus WHERE StatusName = 'Waiting'");
    EXPECT_EQ(Digest(to_, "tStatus").rows, statuses.rows - 1);
    to_.Execute("INSERT INTO tStatus VALUES ('New')");
    EXPECT_EQ(Digest(to_, "tStatus").rows, statuses.rows);
    EXPECT_NE(Digest(to_, "tStatus").checksum, statuses.checksum);
}

TEST(RowDigest, PiecesHashAsTheWholeValue) {
    const std::string text = "hello, wide world";
    tool::RowHash whole, pieces, otherCut, shifted;
    whole.AddValue(Value::Text(text));
    whole.AddValue(Value::Int(5));
    pieces.BeginPieces();
    pieces.Piece(reinterpret_cast<const uint8_t*>(text.data()), 5);
    pieces.Piece(reinterpret_cast<const uint8_t*>(text.data()) + 5, text.size() - 5);
    pieces.EndPieces();
    pieces.AddValue(Value::Text("5")); // values compare by their text
    EXPECT_EQ(whole.Finish(), pieces.Finish());
    // The same bytes cut into other values differ.
    otherCut.AddValue(Value::Text(text + "5"));
    otherCut.AddValue(Value::Null());
    EXPECT_NE(whole.Finish(), otherCut.Finish());
    shifted.AddValue(Value::Text(text.substr(0, 5)));
    shifted.AddValue(Value::Text(text.substr(5) + "5"));
    EXPECT_NE(whole.Finish(), shifted.Finish());
    tool::RowHash empty, null;
    empty.AddValue(Value::Text(""));
    null.AddValue(Value::Null());
    EXPECT_NE(empty.Finish(), null.Finish());
}

} // namespace
} // namespace velmora::test
