#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "database/database_fields.h"
#include "database/database_objects.h"
#include "controls/binding_interfaces.h"
#include "database/support/fake_engine.h"
#include "objects/date_class.h"
#include "objects/variant.h"
#include "support/class_test.h"

namespace vorn {
namespace {

using dbtest::FakeValue;

std::string Text(StringRep* rep) { return std::string(string::Adopt(rep).View()); }

FakeValue Raw(uint8_t type, std::vector<uint8_t> bytes) { return {type, std::move(bytes)}; }

class DatabaseFieldTest : public test::IntrinsicClassTest {
 protected:
  // The first column of a one-row result holding the value.
  RuntimeObject* FieldOf(FakeValue value) {
    RuntimeObject* rs = Keep(dbtest::NewFakeRecordSet(&record, {"c"}, {{std::move(value)}}, nullptr));
    return Keep(cursorGetFieldByIndex(rs, 1));
  }

  std::string StringOf(FakeValue value) { return Text(cursorFieldStringValueGetter(FieldOf(std::move(value)), 0)); }
  bool BooleanOf(FakeValue value) { return CursorFieldBooleanValueGetter(FieldOf(std::move(value)), 0) != 0; }

  dbCursorDefinition record = dbtest::FakeCursorRecord();
};

TEST_F(DatabaseFieldTest, ValuesReadAsTheirText) {
  EXPECT_EQ(StringOf(Raw(kVornDbNull, {})), "");
  EXPECT_EQ(StringOf(FakeValue::Integer(-42)), "-42");
  EXPECT_EQ(StringOf(Raw(kVornDbSmallInt, {0xFF, 0xFF})), "-1");
  EXPECT_EQ(StringOf(FakeValue::Double(2.5)), "2.5");
  EXPECT_EQ(StringOf(FakeValue::Boolean(true)), "true");
  EXPECT_EQ(StringOf(FakeValue::Date(2005, 1, 2)), "2005-01-02");
  EXPECT_EQ(StringOf(Raw(kVornDbTime, {0, 7, 0, 5, 0, 59})), "07:05:59");
  EXPECT_EQ(StringOf(Raw(kVornDbTimeStamp, {0x07, 0xD5, 0, 12, 0, 31, 0, 23, 0, 0, 0, 1})), "2005-12-31 23:00:01");
  EXPECT_EQ(StringOf(Raw(11, {1, 2})), "");
  RuntimeObject* rs = Keep(dbtest::NewFakeRecordSet(&record, {"c"}, {{Raw(kVornDbStringRecord, {})}}, nullptr));
  // An engine handing out a string record gives the record itself as the data.
  record.getColumnValue = [](void*, int32_t, const void** data, uint8_t* type, int32_t* length) {
    static const string text("from record");
    *data = text.Rep();
    *type = kVornDbStringRecord;
    *length = 0;
  };
  RuntimeObject* field = Keep(cursorGetFieldByIndex(rs, 1));
  EXPECT_EQ(Text(cursorFieldStringValueGetter(field, 0)), "from record");
  EXPECT_EQ(CursorFieldValueGetter(field, 0), nullptr);
}

TEST_F(DatabaseFieldTest, NumbersAndBooleansFollowTheValueType) {
  EXPECT_EQ(cursorFieldIntegerValueGetter(FieldOf(FakeValue::Double(-2.7)), 0), -2);
  EXPECT_DOUBLE_EQ(cursorFieldDoubleValueGetter(FieldOf(FakeValue::Text("12.5kg")), 0), 12.5);
  EXPECT_DOUBLE_EQ(cursorFieldDoubleValueGetter(FieldOf(FakeValue::Boolean(true)), 0), 1.0);
  EXPECT_EQ(cursorFieldIntegerValueGetter(FieldOf(FakeValue::Date(2005, 1, 2)), 0), 0);
  EXPECT_TRUE(BooleanOf(FakeValue::Text("TRUE")));
  EXPECT_TRUE(BooleanOf(FakeValue::Text("t")));
  EXPECT_FALSE(BooleanOf(FakeValue::Text("yes")));
  EXPECT_TRUE(BooleanOf(FakeValue::Double(std::numeric_limits<double>::quiet_NaN())));
  EXPECT_FALSE(BooleanOf(FakeValue::Double(0)));
  EXPECT_TRUE(BooleanOf(FakeValue::Integer(-3)));
  EXPECT_FALSE(BooleanOf(FakeValue::Date(2005, 1, 2)));
}

TEST_F(DatabaseFieldTest, DatesAndVariantsComeFromTheirTypes) {
  RuntimeObject* date = Keep(cursorFieldDateValueGetter(FieldOf(FakeValue::Date(2005, 1, 2)), 0));
  ASSERT_NE(date, nullptr);
  EXPECT_EQ(Text(GetSQLDateTimeString(date).GetRetainedRep()), "2005-01-02 00:00:00");
  EXPECT_EQ(cursorFieldDateValueGetter(FieldOf(FakeValue::Integer(3)), 0), nullptr);
  RuntimeObject* number = Keep(CursorFieldValueGetter(FieldOf(FakeValue::Integer(3)), 0));
  EXPECT_EQ(KindOfVariant(number), VariantKind::kInteger);
  RuntimeObject* text = Keep(CursorFieldValueGetter(FieldOf(FakeValue::Text("x")), 0));
  EXPECT_EQ(KindOfVariant(text), VariantKind::kString);
  EXPECT_EQ(CursorFieldValueGetter(FieldOf(Raw(kVornDbNull, {})), 0), nullptr);
}

TEST_F(DatabaseFieldTest, AssignmentsWhileEditingBecomeTheFieldsText) {
  RuntimeObject* field = FieldOf(FakeValue::Integer(1));
  RuntimeObject* cursor = reinterpret_cast<DatabaseFieldObject*>(field)->cursor;
  cursorFieldIntegerValueSetter(field, 0, 5);  // not editing
  EXPECT_EQ(cursorFieldIntegerValueGetter(field, 0), 1);
  cursorEdit(cursor);
  cursorFieldDoubleValueSetter(field, 0, 0.25);
  EXPECT_EQ(Text(cursorFieldStringValueGetter(field, 0)), "0.25");
  CursorFieldBooleanValueSetter(field, 0, 1);
  EXPECT_EQ(Text(cursorFieldStringValueGetter(field, 0)), "true");
  // A pending text is read as a number for Booleans: "true" is 0.
  EXPECT_FALSE(CursorFieldBooleanValueGetter(field, 0));
  RuntimeObject* date = Keep(NewDateFromParts(2001, 2, 3, 4, 5, 6));
  cursorFieldDateValueSetter(field, 0, date);
  EXPECT_EQ(Text(cursorFieldStringValueGetter(field, 0)), "2001-02-03 04:05:06");
  cursorFieldDateValueSetter(field, 0, nullptr);
  EXPECT_EQ(Text(cursorFieldStringValueGetter(field, 0)), "2001-02-03 04:05:06");
  RuntimeObject* variant = Keep(intToVariant(-8));
  CursorFieldValueSetter(field, 0, variant);
  EXPECT_EQ(cursorFieldIntegerValueGetter(field, 0), -8);
  CursorFieldValueSetter(field, 0, nullptr);
  EXPECT_EQ(CursorFields(cursor)->edits->value, DbNullEditValue()) << "nil sets NULL";
  EXPECT_EQ(Text(cursorFieldStringValueGetter(field, 0)), "");
  EXPECT_EQ(CursorFields(cursor)->edits->next, nullptr);
}

TEST_F(DatabaseFieldTest, RecordsKeepOneValuePerColumnNewestFirst) {
  RuntimeObject* record = New(GetDatabaseRecordClassDefinition());
  const string age("Age");
  const string lower("age");
  const string name("name");
  setDatabaseRecordColumn(record, age.Rep(), string("40").Rep());
  setDatabaseRecordIntegerColumn(record, lower.Rep(), 41);
  setDatabaseRecordColumn(record, name.Rep(), string("Ann").Rep());
  EXPECT_EQ(getDatabaseRecordFieldCount(record), 2);
  EXPECT_EQ(Text(getDatabaseRecordIndString(record, 1)), "Ann");
  EXPECT_EQ(Text(getDatabaseRecordIndString(record, 2)), "41");
  EXPECT_EQ(getDatabaseRecordIndString(record, 3), nullptr);
  EXPECT_EQ(getDatabaseRecordIndString(record, 0), nullptr);
  EXPECT_EQ(getDatabaseRecordIntegerColumn(record, lower.Rep()), 41);
  // The column keeps the type of its first setting, so it is quoted as text.
  std::string refusal;
  EXPECT_EQ(std::string(BuildInsertText(string("t"), DatabaseRecordValues(record), &refusal)->View()),
            "insert into t(name,Age) values ('Ann','41')");

  SetDatabaseRecordBooleanColumn(record, string("ok").Rep(), 1);
  EXPECT_TRUE(GetDatabaseRecordBooleanColumn(record, string("OK").Rep()));
  EXPECT_FALSE(GetDatabaseRecordBooleanColumn(record, string("missing").Rep()));
  setDatabaseRecordDoubleColumn(record, string("mag").Rep(), -1.5);
  EXPECT_DOUBLE_EQ(getDatabaseRecordDoubleColumn(record, string("mag").Rep()), -1.5);
  RuntimeObject* date = Keep(NewDateFromParts(2001, 2, 3, 0, 0, 0));
  setDatabaseRecordDateColumn(record, string("seen").Rep(), date);
  setDatabaseRecordDateColumn(record, string("never").Rep(), nullptr);
  RuntimeObject* seen = Keep(getDatabaseRecordDateColumn(record, string("seen").Rep()));
  EXPECT_EQ(Text(GetSQLDateTimeString(seen).GetRetainedRep()), "2001-02-03 00:00:00");
  EXPECT_EQ(getDatabaseRecordFieldCount(record), 5);
  EXPECT_EQ(Text(getDatabaseRecordColumn(record, string("never").Rep())), "");
}

// Bound controls read a field as a StringProvider and a record as a tuple.
TEST_F(DatabaseFieldTest, FieldsAndRecordsServeTheBindingInterfaces) {
  RuntimeObject* field = FieldOf(FakeValue::Integer(7));
  bool found = false;
  EXPECT_EQ(Text(CallInterfaceMethod<StringRep*>(field, GetStringProviderInterfaceDefinition(), "getString", &found)),
            "7");
  EXPECT_TRUE(found);
  RuntimeObject* record = New(GetDatabaseRecordClassDefinition());
  setDatabaseRecordColumn(record, string("a").Rep(), string("first").Rep());
  setDatabaseRecordColumn(record, string("b").Rep(), string("second").Rep());
  EXPECT_EQ(CallInterfaceMethod<int32_t>(record, GetTupleInterfaceDefinition(), "FieldCount", &found), 2);
  EXPECT_TRUE(found);
  EXPECT_EQ(Text(CallInterfaceMethod<StringRep*>(record, GetTupleInterfaceDefinition(), "getIndString", nullptr, 1)),
            "second");
}

TEST_F(DatabaseFieldTest, EntryPointsAreBound) {
  test::ExpectEntryPointsBound({
      {"cursorFieldDateValueGetter", reinterpret_cast<void*>(&cursorFieldDateValueGetter)},
      {"CursorFieldValueSetter", reinterpret_cast<void*>(&CursorFieldValueSetter)},
      {"CursorFieldConvertToDate", reinterpret_cast<void*>(&CursorFieldConvertToDate)},
      {"databaseCursorFieldSetString", reinterpret_cast<void*>(&databaseCursorFieldSetString)},
      {"setDatabaseRecordDateColumn", reinterpret_cast<void*>(&setDatabaseRecordDateColumn)},
      {"getDatabaseRecordMacPictColumn", reinterpret_cast<void*>(&getDatabaseRecordMacPictColumn)},
      {"cursorFieldJPEGGetter", reinterpret_cast<void*>(&cursorFieldJPEGGetter)},
      {"cursorFieldJPEGSetter", reinterpret_cast<void*>(&cursorFieldJPEGSetter)},
      {"getDatabaseRecordJPEGColumn", reinterpret_cast<void*>(&getDatabaseRecordJPEGColumn)},
      {"setDatabaseRecordJPEGColumn", reinterpret_cast<void*>(&setDatabaseRecordJPEGColumn)},
  });
}

}  // namespace
}  // namespace vorn
