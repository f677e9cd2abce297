// An attachment's content written and read in pieces of uneven sizes through a keyed set on
// tAttachment: the server holds exactly the bytes given, and a NULL stays apart from an empty
// content.
#include "ServerTestSupport.h"

#include <optional>
#include <random>
#include <vector>

namespace velmora::test {
namespace {

using Bytes = std::vector<uint8_t>;

// Piece sizes that cross every boundary a store might use: single bytes, odd sizes, more than a
// megabyte.
constexpr size_t kPieces[] = {1, 4095, 65537, 7, 1000003, 333, 262144, 2, 524287};

class AttachmentSlices : public ServerTest {
  protected:
    void SetUp() override {
        ServerTest::SetUp();
        if (IsSkipped()) return;
        connection_.Open(ConnectionString());
    }
    void TearDown() override {
        if (connection_.IsOpen()) connection_.Close();
        ServerTest::TearDown();
    }

    static Bytes Random(size_t size, unsigned seed) {
        Bytes bytes(size);
        std::mt19937 random(seed);
        for (uint8_t& byte : bytes)
            byte = static_cast<uint8_t>(random() & 0xff);
        return bytes;
    }
    void OpenAttachments(db::Recordset& rows, const std::string& where = "") {
        rows.Open("SELECT * FROM tAttachment" + where + " ORDER BY AttachmentID", connection_,
                  db::CursorType::Keyset, db::LockType::Optimistic);
    }
    // Reads the current row's content in pieces of the given sizes, in turn.
    static Bytes ReadInSlices(db::Recordset& rows, size_t firstPiece = 0) {
        Bytes all;
        for (size_t i = firstPiece;; ++i) {
            const auto size = static_cast<db::LONG>(kPieces[i % std::size(kPieces)]);
            const std::optional<Bytes> piece = rows.GetChunk("FileContent", size);
            if (!piece) {
                ADD_FAILURE() << "the content reads as NULL or empty after " << all.size();
                break;
            }
            if (piece->empty()) break;
            EXPECT_LE(piece->size(), static_cast<size_t>(size));
            all.insert(all.end(), piece->begin(), piece->end());
        }
        return all;
    }

    db::Connection connection_;
};

TEST_F(AttachmentSlices, FiveMegabytesComeBackByteForByte) {
    const Bytes content = Random(5 * 1024 * 1024 + 13, 11);
    {
        db::Recordset rows;
        OpenAttachments(rows);
        rows.AddNew();
        rows.SetValue("AttachmentID", db::Value::Int(1));
        rows.SetValue("BugID", db::Value::Int(7));
        rows.SetValue("FileName", db::Value::Text("core.zip"));
        rows.SetValue("FileSize", db::Value::Int(static_cast<db::LONG>(content.size())));
        size_t offset = 0;
        for (size_t i = 0; offset < content.size(); ++i) {
            const size_t size = std::min(kPieces[i % std::size(kPieces)], content.size() - offset);
            rows.AppendChunk("FileContent", content.data() + offset, size);
            offset += size;
        }
        EXPECT_EQ(rows.ActualSize("FileContent"), static_cast<db::LONG>(content.size()));
        rows.Update();
        EXPECT_EQ(rows.ActualSize("FileContent"), static_cast<db::LONG>(content.size()));
        EXPECT_TRUE(ReadInSlices(rows) == content);
    }
    // As stored, seen by another client.
    EXPECT_EQ(Query("SELECT length(FileContent) FROM tAttachment WHERE AttachmentID = 1"),
              std::to_string(content.size()));
    const std::string stored =
        TestDataSource::QueryBytes(database_, "SELECT FileContent FROM tAttachment");
    EXPECT_TRUE(stored == std::string(content.begin(), content.end()));

    // Read again through a new set, starting with other piece sizes; back on the row, reading
    // starts over.
    db::Recordset again;
    OpenAttachments(again);
    EXPECT_EQ(again.ActualSize("FileContent"), static_cast<db::LONG>(content.size()));
    EXPECT_TRUE(ReadInSlices(again, 3) == content);
    EXPECT_EQ(again.GetChunk("FileContent", 10), Bytes{}) << "everything was read";
    again.MoveFirst();
    EXPECT_TRUE(ReadInSlices(again, 5) == content);
    EXPECT_TRUE(again.GetValue("FileContent").asBinary() == content);

    // Appending to a stored row replaces its content.
    const Bytes smaller = Random(70000, 12);
    again.AppendChunk("FileContent", smaller.data(), 1);
    again.AppendChunk("FileContent", smaller.data() + 1, smaller.size() - 1);
    again.Update();
    again.Requery();
    EXPECT_EQ(again.ActualSize("FileContent"), 70000);
    EXPECT_TRUE(ReadInSlices(again) == smaller);
}

TEST_F(AttachmentSlices, NullAndEmptyContentStayApart) {
    {
        db::Recordset rows;
        OpenAttachments(rows);
        rows.AddNew();
        rows.SetValue("AttachmentID", db::Value::Int(1));
        rows.SetValue("FileName", db::Value::Text("nothing.txt"));
        rows.Update();
        rows.AddNew();
        rows.SetValue("AttachmentID", db::Value::Int(2));
        rows.SetValue("FileName", db::Value::Text("empty.txt"));
        rows.SetValue("FileContent", db::Value::Binary({}));
        rows.Update();
        rows.AddNew();
        rows.SetValue("AttachmentID", db::Value::Int(3));
        rows.SetValue("FileName", db::Value::Text("one.txt"));
        const uint8_t one = 0;
        rows.AppendChunk("FileContent", &one, 1);
        rows.Update();
    }
    EXPECT_EQ(QueryList("SELECT CASE WHEN FileContent IS NULL THEN 'null' ELSE 'bytes ' || "
                        "length(FileContent) END FROM tAttachment ORDER BY AttachmentID"),
              "null,bytes 0,bytes 1");

    db::Recordset rows;
    OpenAttachments(rows);
    EXPECT_TRUE(rows.GetValue("FileContent").isNull());
    EXPECT_EQ(rows.GetChunk("FileContent", 10), std::nullopt);
    EXPECT_EQ(rows.ActualSize("FileContent"), 0);
    rows.MoveNext();
    EXPECT_EQ(rows.GetValue("FileContent").kind(), db::Value::Kind::Binary);
    EXPECT_TRUE(rows.GetValue("FileContent").asBinary().empty());
    EXPECT_EQ(rows.GetChunk("FileContent", 10), std::nullopt);
    EXPECT_EQ(rows.ActualSize("FileContent"), 0);
    rows.MoveNext();
    EXPECT_EQ(rows.GetChunk("FileContent", 10), Bytes{0});
    EXPECT_EQ(rows.ActualSize("FileContent"), 1);

    // A content made empty is written as empty, not as NULL, and a NULL written as NULL.
    rows.SetValue("FileContent", db::Value::Binary({}));
    rows.Update();
    rows.MoveFirst();
    rows.SetValue("FileContent", db::Value::Binary({1, 2}));
    rows.Update();
    rows.MoveNext();
    rows.SetValue("FileContent", db::Value::Null());
    rows.Update();
    EXPECT_EQ(QueryList("SELECT CASE WHEN FileContent IS NULL THEN 'null' ELSE 'bytes ' || "
                        "length(FileContent) END FROM tAttachment ORDER BY AttachmentID"),
              "bytes 2,null,bytes 0");
}

} // namespace
} // namespace velmora::test
