// The pieces under the requests: text encodings and collations, packet
// reassembly, the encryption choice, column sizing and the output row.
#include <gtest/gtest.h>

#include "tds/column_codec.h"
#include "tds/output_values.h"
#include "tds/packet.h"
#include "tds/prelogin.h"
#include "tds/text_codec.h"
#include "tests/tds/tds_test_client.h"

namespace orv::tds::testing {
namespace {

PacketHeader Header(uint8_t type, uint8_t status) { return PacketHeader{type, status, 8, 0, 1, 0}; }

TEST(WireFormat, TextSurvivesUtf16AndBrokenInputBecomesReplacement) {
  const std::string clef = "\xF0\x9D\x84\x9E";  // U+1D11E, a surrogate pair in UTF-16
  std::string units;
  EXPECT_EQ(AppendUtf16(units, "a资" + clef), 4u);
  EXPECT_EQ(Utf16ToUtf8(AsBytes(units)), "a资" + clef);
  // Cut at a whole character: the pair does not fit in 3 units.
  units.clear();
  EXPECT_EQ(AppendUtf16(units, "a资" + clef, 3), 2u);
  EXPECT_EQ(Utf16ToUtf8(AsBytes(std::string("\x00\xD8", 2))), "\xEF\xBF\xBD");  // a lone high surrogate
  units.clear();
  AppendUtf16(units, "a\xC3");  // a lead byte with nothing after it
  EXPECT_EQ(Utf16ToUtf8(AsBytes(units)), "a\xEF\xBF\xBD");
}

TEST(WireFormat, CollationsNameTheirCodePages) {
  std::string gbk;
  AppendInCodePage(gbk, "资产a", 936);
  EXPECT_EQ(gbk, "\xD7\xCA\xB2\xFA" "a");
  EXPECT_EQ(CodePageToUtf8(AsBytes(gbk), 936), "资产a");
  const auto code_page = [](std::initializer_list<int> bytes) {
    std::string collation;
    for (const int b : bytes) collation.push_back(static_cast<char>(b));
    return CodePageOfCollation(AsBytes(collation));
  };
  EXPECT_EQ(code_page({0x04, 0x08, 0xD0, 0x00, 0x00}), 936);   // Chinese_PRC_CI_AS
  EXPECT_EQ(code_page({0x04, 0x04, 0xD0, 0x00, 0x00}), 950);   // Chinese_Taiwan
  EXPECT_EQ(code_page({0x11, 0x04, 0xD0, 0x00, 0x00}), 932);   // Japanese
  EXPECT_EQ(code_page({0x09, 0x04, 0xD0, 0x00, 0x34}), 1252);  // SQL_Latin1_General_CP1_CI_AS
  EXPECT_EQ(code_page({0x09, 0x04, 0xD0, 0x04, 0x00}), 65001); // a _UTF8 collation
  EXPECT_EQ(code_page({0x19, 0x04, 0xD0, 0x00, 0x00}), 1251);  // Cyrillic
}

TEST(WireFormat, PacketsGatherIntoMessagesWithinBounds) {
  MessageAssembler assembler(10);
  EXPECT_FALSE(assembler.Add(Header(1, 0), AsBytes("abc")));
  EXPECT_TRUE(assembler.Add(Header(1, kStatusEndOfMessage | kStatusResetConnection), AsBytes("def")));
  const Message message = assembler.TakeMessage();
  EXPECT_EQ(message.payload, "abcdef");
  EXPECT_EQ(message.first_status, 0);  // the reset flag counts on a message's first packet only
  // Another type inside a message, and a message above the bound, break the stream.
  EXPECT_FALSE(assembler.Add(Header(1, 0), AsBytes("x")));
  EXPECT_THROW(assembler.Add(Header(3, 1), AsBytes("y")), ProtocolError);
  MessageAssembler small(4);
  EXPECT_FALSE(small.Add(Header(1, 0), AsBytes("abc")));
  EXPECT_THROW(small.Add(Header(1, 1), AsBytes("de")), ProtocolError);
  // An attention stands alone; an abandoned message (ignore bit) yields nothing.
  MessageAssembler assembler2(100);
  EXPECT_FALSE(assembler2.Add(Header(1, 0), AsBytes("abc")));
  EXPECT_TRUE(assembler2.Add(Header(6, 1), AsBytes("")));
  EXPECT_EQ(assembler2.TakeMessage().type, PacketType::kAttention);
  EXPECT_FALSE(assembler2.Add(Header(1, kStatusEndOfMessage | kStatusIgnore), AsBytes("zz")));
  EXPECT_THROW(ParsePacketHeader(AsBytes(std::string{1, 1, 0, 7, 0, 0, 1, 0})), ProtocolError);
}

TEST(WireFormat, EncryptionFollowsTheClientAndTheOperator) {
  using E = Encryption;
  const auto choose = [](E client, TlsPolicy policy) {
    const EncryptionChoice choice = ChooseEncryption(client, policy);
    return std::make_tuple(choice.reply, choice.mode, choice.refuse);
  };
  EXPECT_EQ(choose(E::kOff, TlsPolicy::kUnavailable), std::make_tuple(E::kNotSupported, TlsMode::kNone, false));
  EXPECT_EQ(choose(E::kOn, TlsPolicy::kUnavailable), std::make_tuple(E::kNotSupported, TlsMode::kNone, false));
  EXPECT_EQ(choose(E::kOff, TlsPolicy::kOffered), std::make_tuple(E::kOff, TlsMode::kLoginOnly, false));
  EXPECT_EQ(choose(E::kOn, TlsPolicy::kOffered), std::make_tuple(E::kOn, TlsMode::kFull, false));
  EXPECT_EQ(choose(E::kNotSupported, TlsPolicy::kOffered), std::make_tuple(E::kNotSupported, TlsMode::kNone, false));
  EXPECT_EQ(choose(E::kOff, TlsPolicy::kRequired), std::make_tuple(E::kRequired, TlsMode::kFull, false));
  EXPECT_EQ(choose(E::kNotSupported, TlsPolicy::kRequired), std::make_tuple(E::kRequired, TlsMode::kNone, true));
  const PreloginRequest request = ParsePrelogin(AsBytes(PreloginPayload(1)));
  EXPECT_EQ(request.encryption, E::kOn);
  EXPECT_EQ(request.version, 0x0B000000u);
}

TEST(WireFormat, CharacterColumnsAreSizedToHoldTheirValues) {
  const std::string clef = "\xF0\x9D\x84\x9E";
  engine::ResultSet result({{"n", {engine::TypeId::NVarChar, 0, 0, 1}, true},
                            {"v", {engine::TypeId::VarChar, 0, 0, 2}, true},
                            {"w", {engine::TypeId::VarChar, 0, 0, 9000}, true}});
  const engine::Value row[] = {engine::Value::String(engine::TypeId::NVarChar, clef),
                               engine::Value::String(engine::TypeId::VarChar, "资产"),
                               engine::Value::Null(engine::TypeId::VarChar)};
  result.AppendRow(row);
  const std::vector<ColumnEncoder> encoders = EncodersFor(result);
  const auto type_info = [&](size_t column) {
    std::string out;
    encoders[column].PutTypeInfo(out);
    return out.substr(0, 3);
  };
  // nvarchar(1) holding two UTF-16 units takes 4 bytes; varchar(2) holding 资产 takes its 4 GBK bytes;
  // a varchar above 8000 bytes goes in chunks (length 0xFFFF).
  EXPECT_EQ(type_info(0), std::string("\xE7\x04\x00", 3));
  EXPECT_EQ(type_info(1), std::string("\xA7\x04\x00", 3));
  EXPECT_EQ(type_info(2), std::string("\xA7\xFF\xFF", 3));
}

TEST(WireFormat, ValuesOfAnotherTypeThanTheirColumnAreWrittenInTheColumnsType) {
  engine::ResultSet result({{"n", {engine::TypeId::NVarChar, 0, 0, 1}, true}, {"d", {engine::TypeId::Decimal, 10, 2, 0}, true},
                            {"i", {engine::TypeId::Int, 0, 0, 0}, true}});
  const engine::Value row[] = {engine::Value::Integer(engine::TypeId::Int, 12345),
                               engine::Value::Integer(engine::TypeId::Int, 7),
                               engine::Value::Decimal(995, 5, 2)};
  result.AppendRow(row);
  const std::vector<ColumnEncoder> encoders = EncodersFor(result);
  std::string out;
  for (size_t i = 0; i < 3; ++i) encoders[i].PutValue(out, result.at(0, i));
  // "12345" as five UTF-16 units (the column widened to 10 bytes); 7 as 7.00 (unscaled 700
  // = 0x02BC, positive, in the 9 bytes of a precision of 10 to 19); 9.95 cut to the integer 9.
  EXPECT_EQ(out, std::string("\x0A\x00" "1\0" "2\0" "3\0" "4\0" "5\0", 12) +
                     std::string("\x09\x01\xBC\x02\x00\x00\x00\x00\x00\x00", 10) + std::string("\x04\x09\x00\x00\x00", 5));
}

TEST(WireFormat, TheClosingSelectOfOutputParametersIsTakenOut) {
  const std::vector<OutputParam> outputs = {{2, "@n", "@n"}};
  engine::BatchResult result;
  result.result_sets.emplace_back(std::vector<engine::ColumnInfo>{{"x", {engine::TypeId::Int, 0, 0, 0}, true}});
  result.messages.push_back("(0 rows affected)");
  engine::ResultSet values(std::vector<engine::ColumnInfo>{{"@n", {engine::TypeId::Int, 0, 0, 0}, true}});
  const engine::Value six = engine::Value::Integer(engine::TypeId::Int, 6);
  values.AppendRow(&six);
  result.result_sets.push_back(values);
  result.messages.push_back("(1 row affected)");
  engine::BatchResult failed = result;
  failed.AddError(engine::SqlError(245, 16, 1, 3, "conversion"));

  const std::optional<engine::ResultSet> row = TakeOutputRow(result, outputs);
  ASSERT_TRUE(row.has_value());
  EXPECT_EQ(row->at(0, 0).i, 6);
  EXPECT_EQ(result.result_sets.size(), 1u);
  EXPECT_EQ(result.messages, (std::vector<std::string>{"(0 rows affected)"}));
  // An error after the row, or a last result set of the wrong shape, leaves the results alone.
  EXPECT_FALSE(TakeOutputRow(failed, outputs).has_value());
  EXPECT_FALSE(TakeOutputRow(result, outputs).has_value());
}

}  // namespace
}  // namespace orv::tds::testing
