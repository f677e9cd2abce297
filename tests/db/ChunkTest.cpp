// Long binary values read and written in pieces.
#include "DbTestSupport.h"

namespace velmora::db::test {
namespace {

class ChunkTest : public SampleDatabase {
  protected:
    void SetUp() override {
        SampleDatabase::SetUp();
        connection_.Open(connectionString_);
        connection_.Execute("CREATE TABLE tAttachment (AttachmentID INTEGER PRIMARY KEY, "
                            "FileContent BLOB, Note TEXT COLLATE NOCASE)");
        connection_.Execute("INSERT INTO tAttachment VALUES (1, NULL, NULL), (2, x'', 'n')");
    }

    static std::vector<uint8_t> Pattern(size_t size) {
        std::vector<uint8_t> bytes(size);
        for (size_t i = 0; i < size; ++i)
            bytes[i] = static_cast<uint8_t>((i * 131 + i / 7) & 0xFF);
        return bytes;
    }

    static std::vector<uint8_t> ReadAll(Recordset& rows, LONG piece) {
        std::vector<uint8_t> all;
        while (auto chunk = rows.GetChunk("FileContent", piece)) {
            if (chunk->empty()) break;
            EXPECT_LE(chunk->size(), static_cast<size_t>(piece));
            all.insert(all.end(), chunk->begin(), chunk->end());
        }
        return all;
    }

    Connection connection_;
};

TEST_F(ChunkTest, SeveralMegabytesRoundTrip) {
    const std::vector<uint8_t> content = Pattern(3 * 1024 * 1024 + 17);
    {
        Recordset rows;
        rows.Open("SELECT * FROM tAttachment", connection_, CursorType::Keyset,
                  LockType::Optimistic);
        rows.AddNew();
        rows.SetValue("AttachmentID", Value::Int(3));
        for (size_t offset = 0; offset < content.size(); offset += 4000) {
            rows.AppendChunk("FileContent", content.data() + offset,
                             std::min<size_t>(4000, content.size() - offset));
        }
        EXPECT_EQ(static_cast<LONG>(content.size()), rows.ActualSize("FileContent"));
        rows.Update();
        EXPECT_EQ(static_cast<LONG>(content.size()), rows.ActualSize("FileContent"));
        EXPECT_EQ(content, ReadAll(rows, 65536));
    }
    Recordset again;
    again.Open("SELECT FileContent FROM tAttachment WHERE AttachmentID = 3", connectionString_,
               CursorType::Static, LockType::ReadOnly);
    EXPECT_EQ(content, ReadAll(again, 1000));
    EXPECT_EQ(std::vector<uint8_t>{}, again.GetChunk("FileContent", 10)); // everything was read
    EXPECT_EQ(content, again.GetValue("FileContent").asBinary());
    again.MoveFirst(); // back on the row: reading starts over
    EXPECT_EQ(content, ReadAll(again, 300000));
}

TEST_F(ChunkTest, EmptyAndNullFieldsGiveNothing) {
    Recordset rows;
    rows.Open("SELECT * FROM tAttachment", connection_, CursorType::Keyset, LockType::Optimistic);
    EXPECT_EQ(std::nullopt, rows.GetChunk("FileContent", 10));
    rows.MoveNext();
    EXPECT_EQ(std::nullopt, rows.GetChunk("filecontent", 10));
    EXPECT_EQ(std::vector<uint8_t>{'n'}, rows.GetChunk("Note", 10));
    EXPECT_THROW(rows.GetChunk("AttachmentID", 10), DbError);
    EXPECT_THROW(rows.GetChunk("FileContent", 0), DbError);
}

TEST_F(ChunkTest, AppendReplacesTheStoredValueOfAnExistingRow) {
    const std::vector<uint8_t> large = Pattern(200 * 1024);
    connection_.Execute(
        "UPDATE tAttachment SET FileContent = zeroblob(300000) WHERE AttachmentID = 1");
    Recordset rows;
    rows.Open("SELECT * FROM tAttachment", connection_, CursorType::Keyset, LockType::Optimistic);
    EXPECT_EQ(300000, rows.ActualSize("FileContent"));
    rows.AppendChunk("FileContent", large.data(), 1000);
    rows.AppendChunk("FileContent", large.data() + 1000, large.size() - 1000);
    rows.Update();
    rows.Requery();
    EXPECT_EQ(large, ReadAll(rows, 7777));
    // A long value that is not kept in memory still guards against concurrent changes.
    RawDb other(path_);
    ASSERT_EQ(SQLITE_OK, other.Exec("UPDATE tAttachment SET FileContent = zeroblob(100000) "
                                    "WHERE AttachmentID = 1"));
    rows.SetValue("Note", Value::Text("mine"));
    EXPECT_THROW(rows.Update(), DbError);
}

TEST_F(ChunkTest, CancelledAppendLeavesNoTrace) {
    const std::vector<uint8_t> bytes = Pattern(5000);
    Recordset rows;
    rows.Open("SELECT * FROM tAttachment", connection_, CursorType::Keyset, LockType::Optimistic);
    rows.AppendChunk("FileContent", bytes.data(), bytes.size());
    rows.CancelUpdate();
    EXPECT_TRUE(rows.GetValue("FileContent").isNull());
    rows.Close();
    RawDb raw(path_);
    EXPECT_EQ("", raw.Text("SELECT FileContent FROM tAttachment WHERE AttachmentID = 1"));
}

} // namespace
} // namespace velmora::db::test
