// Lenient reading of field values.
#include "engine/db/Database.h"

#include <gtest/gtest.h>

namespace velmora::db {
namespace {

TEST(ValueTest, NullReadsAsZeroAndEmpty) {
    const Value null;
    EXPECT_TRUE(null.isNull());
    EXPECT_EQ(0, null.asInt());
    EXPECT_FALSE(null.asBool());
    EXPECT_EQ("", null.asText());
    EXPECT_TRUE(null.asBinary().empty());
}

TEST(ValueTest, NumbersAndTextsConvertBetweenKinds) {
    EXPECT_EQ(2, Value::Double(2.5).asInt()); // half to even
    EXPECT_EQ(4, Value::Double(3.5).asInt());
    EXPECT_EQ(INT32_MAX, Value::Double(1e12).asInt());
    EXPECT_EQ(255, Value::Int(1000).asByte());
    EXPECT_EQ(42, Value::Text(" 42 ").asInt());
    EXPECT_EQ(0, Value::Text("42abc").asInt());
    EXPECT_TRUE(Value::Text("True").asBool());
    EXPECT_TRUE(Value::Int(-1).asBool());

    EXPECT_EQ("", Value::Int(5).asText()); // only a text has a stored text
    EXPECT_EQ("2.5", Value::Double(2.5).toText());
    EXPECT_EQ("True", Value::Bool(true).toText());
    EXPECT_FALSE(Value::Double(1) == Value::Date(1));
}

} // namespace
} // namespace velmora::db
