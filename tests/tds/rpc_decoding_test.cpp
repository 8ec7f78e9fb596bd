// RPC requests decoded and turned into T-SQL: every parameter type as its
// literal, output parameters through variables, the prepared-statement
// procedures, and the errors of malformed or mismatched calls.
#include <gtest/gtest.h>

#include "tds/request_error.h"
#include "tds/rpc_request.h"
#include "tds/rpc_sql.h"
#include "tests/tds/rpc_builder.h"

namespace orv::tds::testing {
namespace {

// `bytes` little-endian bytes of `value`.
std::string Le(uint64_t value, int bytes) {
  std::string out;
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>(value >> (8 * i)));
  return out;
}

std::string Raw(std::initializer_list<int> bytes) {
  std::string out;
  for (const int b : bytes) out.push_back(static_cast<char>(b));
  return out;
}

std::string AllHeaders() { return Le(22, 4) + Le(18, 4) + Le(2, 2) + std::string(8, '\0') + Le(1, 4); }

RpcPlan Plan(const std::string& calls, PreparedStatements& prepared) {
  const std::string payload = AllHeaders() + calls;
  const std::vector<RpcCall> parsed = ParseRpcRequest(AsBytes(payload), true);
  EXPECT_EQ(parsed.size(), 1u);
  return PlanRpcCall(parsed.at(0), prepared);
}

RpcPlan Plan(const std::string& calls) {
  PreparedStatements prepared;
  return Plan(calls, prepared);
}

int ErrorNumber(const std::string& calls) {
  try {
    Plan(calls);
  } catch (const RequestError& error) {
    return error.number();
  }
  return 0;
}

// sp_executesql with the statement, the declarations and one value.
std::string ExecuteSqlWith(const std::string& value_param) {
  return CallById(10) + NVarCharParam("", "SELECT @v") + NVarCharParam("", "@v sql_variant") + value_param;
}

std::string LiteralOf(const std::string& value_param) {
  const std::string sql = Plan(ExecuteSqlWith(value_param)).sql;
  const std::string prefix = "EXEC sp_executesql N'SELECT @v', N'@v sql_variant', @v = ";
  EXPECT_TRUE(sql.starts_with(prefix)) << sql;
  return sql.substr(prefix.size());
}

TEST(RpcDecoding, ExecuteSqlBecomesTheEquivalentExecText) {
  const RpcPlan plan = Plan(CallByName("sp_executesql") + NVarCharParam("@stmt", "SELECT a FROM t WHERE a = @a AND b = @b") +
                            NVarCharParam("@params", "@a int, @b nvarchar(20)") + IntParam("@a", -7) +
                            NVarCharParam("@b", "it's 资产"));
  EXPECT_EQ(plan.sql,
            "EXEC sp_executesql N'SELECT a FROM t WHERE a = @a AND b = @b', N'@a int, @b nvarchar(20)', "
            "@a = -7, @b = N'it''s 资产'");
  EXPECT_TRUE(plan.outputs.empty());
  EXPECT_FALSE(plan.handle.has_value());
}

TEST(RpcDecoding, WithoutParametersTheStatementRunsAsItIs) {
  EXPECT_EQ(Plan(CallById(10) + NVarCharParam("", "SELECT 1")).sql, "SELECT 1");
  EXPECT_EQ(Plan(CallByName("SYS.SP_EXECUTESQL") + NVarCharParam("", "SELECT 2") + NVarCharParam("", "")).sql, "SELECT 2");
}

TEST(RpcDecoding, NumericParametersAsLiterals) {
  EXPECT_EQ(LiteralOf(ParamHead("@v") + Raw({0x26, 8, 8}) + Le(static_cast<uint64_t>(-5000000000LL), 8)), "-5000000000");
  EXPECT_EQ(LiteralOf(ParamHead("@v") + Raw({0x30, 200})), "200");          // tinyint, fixed length
  EXPECT_EQ(LiteralOf(ParamHead("@v") + Raw({0x68, 1, 1, 1})), "1");        // bit
  // decimal(10,2) -123.45: sign byte 0 (negative), magnitude 12345.
  EXPECT_EQ(LiteralOf(ParamHead("@v") + Raw({0x6A, 5, 10, 2, 5, 0}) + Le(12345, 4)), "-123.45");
  // numeric(5,5) 0.00042: the leading zeros come back.
  EXPECT_EQ(LiteralOf(ParamHead("@v") + Raw({0x6C, 5, 5, 5, 5, 1}) + Le(42, 4)), "0.00042");
  // money 12.5 is 125000 ten-thousandths, sent as the high then the low half.
  EXPECT_EQ(LiteralOf(ParamHead("@v") + Raw({0x6E, 8, 8}) + Le(0, 4) + Le(125000, 4)), "12.5000");
  EXPECT_EQ(LiteralOf(ParamHead("@v") + Raw({0x6E, 4, 4}) + Le(static_cast<uint32_t>(-25000), 4)), "-2.5000");
  EXPECT_EQ(LiteralOf(ParamHead("@v") + Raw({0x6D, 8, 8}) + Le(0x3FF8000000000000ull, 8)), "1.5E+00");  // 1.5
  EXPECT_EQ(LiteralOf(ParamHead("@v") + Raw({0x6D, 4, 4}) + Le(0x3E800000u, 4)), "2.5E-01");          // 0.25f
}

TEST(RpcDecoding, DateAndTimeParametersAsIsoStrings) {
  // 2024-03-05 is day 45354 after 1900-01-01 (124 years with 30 leap days, then 31 + 29 + 4)
  // and day 738949 after 0001-01-01 (693595 days more). 10:00:00.003 is 10 * 3600 * 300 + 1 ticks.
  EXPECT_EQ(LiteralOf(ParamHead("@v") + Raw({0x6F, 8, 8}) + Le(45354, 4) + Le(10800001, 4)), "'2024-03-05T10:00:00.003'");
  // smalldatetime: days as 16 bits, then minutes (13:45).
  EXPECT_EQ(LiteralOf(ParamHead("@v") + Raw({0x6F, 4, 4}) + Le(45354, 2) + Le(825, 2)), "'2024-03-05T13:45:00.000'");
  EXPECT_EQ(LiteralOf(ParamHead("@v") + Raw({0x28, 3}) + Le(738949, 3)), "'2024-03-05'");
  // time(3) 13:45:30.125 = 49530125 thousandths, in 4 bytes.
  EXPECT_EQ(LiteralOf(ParamHead("@v") + Raw({0x29, 3, 4}) + Le(49530125, 4)), "'13:45:30.125'");
  // datetime2(7) one tick before midnight: 863999999999 units of 100 ns, 5 bytes, then the date.
  EXPECT_EQ(LiteralOf(ParamHead("@v") + Raw({0x2A, 7, 8}) + Le(863999999999ull, 5) + Le(738949, 3)),
            "'2024-03-05T23:59:59.9999999'");
  // datetimeoffset(0): 20:00 UTC at +08:00 is 04:00 the next day, local time.
  EXPECT_EQ(LiteralOf(ParamHead("@v") + Raw({0x2B, 0, 8}) + Le(72000, 3) + Le(738949, 3) + Le(480, 2)),
            "'2024-03-06T04:00:00+08:00'");
}

TEST(RpcDecoding, TextBinaryAndGuidParameters) {
  // varchar in the Chinese collation: 资产 is D7CA B2FA in its code page.
  EXPECT_EQ(LiteralOf(ParamHead("@v") + Raw({0xA7}) + Le(20, 2) + kChineseCollation + Le(4, 2) + Raw({0xD7, 0xCA, 0xB2, 0xFA})),
            "'资产'");
  // nvarchar(max) in two chunks, then the terminator.
  EXPECT_EQ(LiteralOf(ParamHead("@v") + Raw({0xE7, 0xFF, 0xFF}) + kChineseCollation + Le(6, 8) + Le(4, 4) + Utf16("ab") +
                      Le(2, 4) + Utf16("c") + Le(0, 4)),
            "N'abc'");
  EXPECT_EQ(LiteralOf(ParamHead("@v") + Raw({0xA5}) + Le(10, 2) + Le(2, 2) + Raw({0x01, 0xAB})), "0x01AB");
  EXPECT_EQ(LiteralOf(ParamHead("@v") + Raw({0x24, 16, 16, 0xFF, 0x19, 0x96, 0x6F, 0x86, 0x8B, 0x11, 0xD0, 0xB4, 0x2D,
                                             0x00, 0xC0, 0x4F, 0xC9, 0x64, 0xFF})),
            "'6F9619FF-8B86-D011-B42D-00C04FC964FF'");
  EXPECT_EQ(LiteralOf(NullIntParam("@v")), "NULL");
  // sql_variant holding an int: base type, no property bytes, the value.
  EXPECT_EQ(LiteralOf(ParamHead("@v") + Raw({0x62}) + Le(8016, 4) + Le(6, 4) + Raw({0x38, 0}) + Le(99, 4)), "99");
}

TEST(RpcDecoding, OutputParametersGoThroughVariablesAndComeBackInOneRow) {
  const RpcPlan plan = Plan(CallById(10) + NVarCharParam("", "SET @n = @n + 1") + NVarCharParam("", "@n int OUTPUT") +
                            IntParam("@n", 5, 0x01));
  EXPECT_EQ(plan.sql,
            "DECLARE @n int = 5;\r\n"
            "EXEC sp_executesql N'SET @n = @n + 1', N'@n int OUTPUT', @n = @n OUTPUT\r\n"
            "SELECT @n AS [@n]");
  ASSERT_EQ(plan.outputs.size(), 1u);
  EXPECT_EQ(plan.outputs[0].ordinal, 2);
  EXPECT_EQ(plan.outputs[0].variable, "@n");
}

TEST(RpcDecoding, OtherProceduresBecomeExecWithTheirArguments) {
  EXPECT_EQ(Plan(CallByName("dbo.usp_Report") + IntParam("@id", 3) + ParamHead("@mode", 0x02) + Raw({0x26, 4, 0})).sql,
            "EXEC dbo.usp_Report @id = 3, @mode = DEFAULT");
  EXPECT_EQ(Plan(CallByName("sp_who")).sql, "EXEC sp_who");
}

TEST(RpcDecoding, PreparedStatementsRunAsExecuteSqlByHandle) {
  PreparedStatements prepared;
  const RpcPlan prepexec = Plan(CallById(13) + NullIntParam("@handle", 0x01) + NVarCharParam("", "@a int") +
                                    NVarCharParam("", "SELECT @a") + IntParam("@a", 1),
                                prepared);
  ASSERT_TRUE(prepexec.handle.has_value());
  EXPECT_EQ(prepexec.handle_name, "@handle");
  EXPECT_EQ(prepexec.sql, "EXEC sp_executesql N'SELECT @a', N'@a int', @a = 1");
  const std::string handle = IntParam("", *prepexec.handle);
  EXPECT_EQ(Plan(CallById(12) + handle + IntParam("@a", 2), prepared).sql, "EXEC sp_executesql N'SELECT @a', N'@a int', @a = 2");
  const RpcPlan prepare = Plan(CallById(11) + NullIntParam("", 0x01) + NVarCharParam("", "") + NVarCharParam("", "SELECT 9"), prepared);
  EXPECT_TRUE(prepare.sql.empty());
  EXPECT_NE(*prepare.handle, *prepexec.handle);
  EXPECT_TRUE(Plan(CallById(15) + handle, prepared).sql.empty());
  try {
    Plan(CallById(12) + handle, prepared);
    ADD_FAILURE() << "an unprepared handle ran";
  } catch (const RequestError& error) {
    EXPECT_EQ(error.number(), 8179);
  }
}

TEST(RpcDecoding, MismatchedAndMalformedCallsAreRefused) {
  EXPECT_EQ(ErrorNumber(CallById(10)), 201);                              // no statement
  EXPECT_EQ(ErrorNumber(CallById(10) + IntParam("", 1)), 214);            // a statement that is not text
  EXPECT_EQ(ErrorNumber(ExecuteSqlWith(ParamHead("@v") + Raw({0x99}))), 8009);              // unknown type
  EXPECT_EQ(ErrorNumber(ExecuteSqlWith(ParamHead("@v") + Raw({0x26, 3, 3, 1, 2, 3}))), 8016);  // int of 3 bytes
  EXPECT_EQ(ErrorNumber(ExecuteSqlWith(ParamHead("@v") + Raw({0x6A, 5, 2, 3}))), 8020);         // scale above precision
  // decimal(2,0) holding 100: more digits than the precision allows.
  EXPECT_EQ(ErrorNumber(ExecuteSqlWith(ParamHead("@v") + Raw({0x6A, 5, 2, 0, 5, 1}) + Le(100, 4))), 8023);
  EXPECT_EQ(ErrorNumber(ExecuteSqlWith(ParamHead("@v") + Raw({0x29, 3, 4}) + Le(86400000, 4))), 8023);  // 24:00:00
  EXPECT_EQ(ErrorNumber(ExecuteSqlWith(ParamHead("@v") + Raw({0x6D, 8, 8}) + Le(0x7FF0000000000000ull, 8))), 8023);  // infinity
  std::string many = CallById(10) + NVarCharParam("", "SELECT 1");
  for (int i = 0; i < 2100; ++i) many += IntParam("", i);
  EXPECT_EQ(ErrorNumber(many), 8003);
  // A value cut short is a broken stream, not a bad value.
  const std::string cut = AllHeaders() + CallById(10) + NVarCharParam("", "SELECT 1").substr(0, 12);
  EXPECT_THROW(ParseRpcRequest(AsBytes(cut), true), ProtocolError);
}

TEST(RpcDecoding, SeveralCallsInOneRequest) {
  const std::string payload = AllHeaders() + CallById(10) + NVarCharParam("", "SELECT 1") + Raw({0xFF}) +
                              CallByName("sp_who") + IntParam("@x", 1);
  const std::vector<RpcCall> calls = ParseRpcRequest(AsBytes(payload), true);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].proc_id, ProcId::kExecuteSql);
  EXPECT_EQ(calls[1].proc_name, "sp_who");
  EXPECT_EQ(calls[1].params.at(0).name, "@x");
}

}  // namespace
}  // namespace orv::tds::testing
