// The type-name routines on the tiny data's t_DataTypeInfo (codes 1 int,
// 2 decimal 38/0..38, 3 nvarchar 4000, 4 datetime, 5 "decimal() identity"
// 38/0..0, 8 varchar 8000), on odd type names, and the "DataTypeInfo" group
// that a failed fill does not leave behind as complete.
#include <gtest/gtest.h>

#include "frame/cdatasource.h"
#include "platform/ado_errors.h"
#include "platform/automation_error.h"
#include "tests/frame/cache_fixture.h"

namespace orv::frame {
namespace {

// The arguments GetTypeName fills, preset to values no row gives.
struct TypeCall {
  int32_t precision = 0;
  int16_t scale = 0;
  int16_t actual_type = -1;
  int32_t actual_size = -1;
  int16_t bind_type = -1;
  std::string name;
};

class DataTypeInfoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterTinyCopy("types-tiny");
    const auto parser = std::make_shared<CParse>();
    parser->ParseString(FreshCacheSession("types-tiny").sDsn);
    source_.SetParser(parser);
  }

  TypeCall Call(int32_t data_type, int32_t precision, int16_t scale) {
    TypeCall call;
    call.precision = precision;
    call.scale = scale;
    call.name = source_.GetTypeName(data_type, &call.precision, &call.scale, &call.actual_type, &call.actual_size,
                                    &call.bind_type);
    return call;
  }

  CDataSource source_;
};

TEST_F(DataTypeInfoTest, NamesCarryPrecisionAndTheClampedScale) {
  // A maximum scale: precision and scale; FActualSize NULL, so the size is the precision.
  TypeCall call = Call(2, 10, 2);
  EXPECT_EQ(call.name, "decimal(10,2)");
  EXPECT_EQ(call.scale, 2);
  EXPECT_EQ(call.actual_type, 131);
  EXPECT_EQ(call.bind_type, 131);
  EXPECT_EQ(call.actual_size, 10);
  // No maximum scale: the precision alone, the scale left as given.
  call = Call(3, 10, 2);
  EXPECT_EQ(call.name, "nvarchar(10)");
  EXPECT_EQ(call.scale, 2);
  EXPECT_EQ(call.actual_size, 10);
  EXPECT_EQ(call.actual_type, 202);
  // Scales outside 0..38 are pulled in: 40 to 38, -3 to 0.
  EXPECT_EQ(Call(2, 10, 40).name, "decimal(10,38)");
  call = Call(2, 10, -3);
  EXPECT_EQ(call.name, "decimal(10,0)");
  EXPECT_EQ(call.scale, 0);
  // "decimal() identity": the arguments go inside the parentheses, the scale to its maximum 0.
  call = Call(5, 18, 4);
  EXPECT_EQ(call.name, "decimal(18,0) identity");
  EXPECT_EQ(call.scale, 0);
  // No maximum precision: the bare name, precision and scale set to 0, the type's own size.
  call = Call(1, 10, 2);
  EXPECT_EQ(call.name, "int");
  EXPECT_EQ(call.precision, 0);
  EXPECT_EQ(call.scale, 0);
  EXPECT_EQ(call.actual_size, 4);
  EXPECT_EQ(call.actual_type, 3);
  // Without the optional arguments precision and scale are 0.
  EXPECT_EQ(source_.GetTypeName(8), "varchar(0)");
}

TEST_F(DataTypeInfoTest, APrecisionAboveTheMaximumGivesNothingAndChangesNothing) {
  const TypeCall call = Call(3, 4001, 7);
  EXPECT_EQ(call.name, "");
  EXPECT_EQ(call.precision, 4001);
  EXPECT_EQ(call.scale, 7);
  EXPECT_EQ(call.actual_type, -1);
  EXPECT_EQ(call.actual_size, -1);
  EXPECT_EQ(call.bind_type, -1);
  EXPECT_EQ(Call(3, 4000, 0).name, "nvarchar(4000)");  // the maximum itself fits
}

TEST_F(DataTypeInfoTest, ActualAndBindTypes) {
  int32_t precision = 40;
  int16_t scale = 2;
  EXPECT_EQ(source_.GetActualType(2, &precision), 0);  // 40 > 38
  int32_t size = -1;
  int16_t bind = -1;
  precision = 50;
  scale = 9;
  EXPECT_EQ(source_.GetActualType(3, &precision, &scale, &size, &bind), 202);
  EXPECT_EQ(size, 50);
  EXPECT_EQ(bind, 202);
  EXPECT_EQ(scale, 9);
  precision = 12;
  scale = 60;
  EXPECT_EQ(source_.GetActualType(2, &precision, &scale, &size), 131);
  EXPECT_EQ(scale, 38);
  EXPECT_EQ(precision, 12);  // not set to 0: only GetTypeName does that
  EXPECT_EQ(source_.GetActualType(4, nullptr, nullptr, &size), 135);
  EXPECT_EQ(size, 8);
  EXPECT_EQ(source_.GetBindType(8), 200);
  EXPECT_EQ(source_.GetBindType(9), 11);
}

TEST_F(DataTypeInfoTest, ATypeNotInTheTableIsAClearError) {
  try {
    source_.GetTypeName(99);
    FAIL() << "type 99 is not in the table";
  } catch (const platform::AutomationError& error) {
    EXPECT_EQ(error.number(), platform::kErrInvalidProcedureCall);
    EXPECT_EQ(error.description(), "The data type 99 is not in t_DataTypeInfo.");
  }
  EXPECT_THROW(source_.GetBindType(-1), platform::AutomationError);
  EXPECT_EQ(source_.GetBindType(1), 3);  // the failed lookups left the group intact
}

TEST(DataTypeNames, TextAfterTheClosingParenthesisIsKept) {
  RegisterTinyCopy("types-odd",
                   "DELETE FROM t_DataTypeInfo\r\n"
                   "INSERT INTO t_DataTypeInfo VALUES (1, N'char() for bit data', 254, NULL, NULL, 128, 128, NULL),"
                   " (2, N'opened(', 10, NULL, NULL, 129, 129, NULL), (3, N'a)b(c', 10, NULL, NULL, 129, 129, NULL)");
  CDataSource source;
  const auto parser = std::make_shared<CParse>();
  parser->ParseString(FreshCacheSession("types-odd").sDsn);
  source.SetParser(parser);
  int32_t precision = 10;
  EXPECT_EQ(source.GetTypeName(1, &precision), "char(10) for bit data");
  // No ")": nothing of the name follows the "(".
  EXPECT_EQ(source.GetTypeName(2, &precision), "opened(10)");
  // A ")" before the "(": the text after that ")" follows.
  EXPECT_EQ(source.GetTypeName(3, &precision), "a)b(10)b(c");
}

TEST(DataTypeNames, AFailedFillIsNotTakenForAComplete) {
  RegisterTinyCopy("types-late", "DROP TABLE t_DataTypeInfo");
  CDataSource source;
  const auto parser = std::make_shared<CParse>();
  parser->ParseString(FreshCacheSession("types-late").sDsn);
  source.SetParser(parser);
  try {
    source.GetBindType(1);
    FAIL() << "no t_DataTypeInfo";
  } catch (const platform::AutomationError& error) {
    EXPECT_EQ(error.number(), platform::kHrNoSuchTable);
  }
  engine::Session(platform::GetDatabaseInstance("types-late"))
      .Execute("SELECT * INTO t_DataTypeInfo FROM (SELECT 1 AS FDataType, N'int' AS FTypeName, NULL AS FMaxPrecision,"
               " NULL AS FMinScale, NULL AS FMaxScale, 3 AS FActualType, 3 AS FBindType, 4 AS FActualSize) AS t");
  EXPECT_EQ(source.GetBindType(1), 3);
}

}  // namespace
}  // namespace orv::frame
