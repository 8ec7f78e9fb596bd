// The connection and record set over a scripted provider: which row set a
// batch returns, errors raised with the provider's HRESULT and the native
// number in Errors, closed-connection and unknown-provider errors, cursor
// moves, detaching, and record sets closed with their connection.
#include <gtest/gtest.h>

#include <map>

#include "platform/ado_errors.h"
#include "platform/connection.h"
#include "platform/recordset.h"
#include "tests/platform/platform_test_util.h"

namespace orv::platform {
namespace {

using testing::ErrorOf;

class MemoryRows : public RowSource {
 public:
  MemoryRows(std::vector<FieldInfo> columns, std::vector<std::vector<Variant>> rows)
      : columns_(std::move(columns)), rows_(std::move(rows)) {}
  const std::vector<FieldInfo>& Columns() const override { return columns_; }
  size_t RowCount() const override { return rows_.size(); }
  Variant Value(size_t row, size_t column) const override { return rows_[row][column]; }

 private:
  std::vector<FieldInfo> columns_;
  std::vector<std::vector<Variant>> rows_;
};

std::shared_ptr<const RowSource> Numbers(std::initializer_list<int32_t> values) {
  std::vector<std::vector<Variant>> rows;
  for (const int32_t v : values) rows.push_back({Variant(v), Variant("n" + std::to_string(v))});
  return std::make_shared<MemoryRows>(
      std::vector<FieldInfo>{{"FID", DataTypeEnum::adInteger, 4, 10, 255}, {"FName", DataTypeEnum::adVarWChar, 80, 255, 255}},
      std::move(rows));
}

// Answers each batch text with the ProviderBatch scripted for it.
class ScriptedSession : public ProviderSession {
 public:
  explicit ScriptedSession(std::map<std::string, ProviderBatch>* script) : script_(script) {}
  ProviderBatch Execute(std::string_view batch) override { return script_->at(std::string(batch)); }

 private:
  std::map<std::string, ProviderBatch>* script_;
};

class ConnectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ProviderError syntax{102, 15, 1, 3, "Incorrect syntax near 'FROM'.", "Test.Provider"};
    ProviderError missing{208, 16, 1, 1, "Invalid object name 't_Missing'.", "Test.Provider"};
    script_["SELECT"] = ProviderBatch{{Numbers({1, 2, 3})}, {}, std::nullopt};
    script_["TWO"] = ProviderBatch{{Numbers({1}), Numbers({7, 8})}, {}, std::nullopt};
    script_["EMPTY"] = ProviderBatch{{Numbers({})}, {}, std::nullopt};
    script_["NOROWS"] = ProviderBatch{{}, {"(3 rows affected)"}, std::nullopt};
    script_["SYNTAX"] = ProviderBatch{{Numbers({1})}, {}, syntax};  // rows before the error
    script_["MISSING"] = ProviderBatch{{}, {}, missing};
    script_["SEVERE"] = ProviderBatch{{}, {}, ProviderError{9999, 20, 1, 1, "Severe.", "Test.Provider"}};
    script_["UNLISTED"] = ProviderBatch{{}, {}, ProviderError{4104, 16, 1, 1, "Not bound.", "Test.Provider"}};
    auto* script = &script_;
    RegisterProvider("Test.Provider", [script](const ConnectionProperties& properties) {
      EXPECT_EQ(properties.Get({"data source"}), "unit");
      return std::unique_ptr<ProviderSession>(std::make_unique<ScriptedSession>(script));
    });
    connection_ = std::make_shared<Connection>();
    connection_->Open(" provider = Test.Provider ; DATA SOURCE= unit ;", "", "", -1);
    connection_->SetCursorLocation(adUseClient);
    connection_->SetCommandTimeout(0);
  }

  std::map<std::string, ProviderBatch> script_;
  std::shared_ptr<Connection> connection_;
};

TEST_F(ConnectionTest, ReturnsTheFirstRowSetThenTheNextOnes) {
  auto rs = connection_->Execute("TWO", -1);
  ASSERT_EQ(rs->State(), adStateOpen);
  EXPECT_EQ(rs->RecordCount(), 1);
  auto second = rs->NextRecordset();
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(rs->State(), adStateClosed);
  EXPECT_EQ(second->RecordCount(), 2);
  EXPECT_EQ(second->Collect("fid").ToLong(), 7);
  EXPECT_EQ(second->ActiveConnection(), connection_);
  EXPECT_EQ(second->NextRecordset(), nullptr);
}

TEST_F(ConnectionTest, ABatchWithoutRowsGivesAClosedRecordset) {
  int32_t affected = 0;
  auto rs = connection_->Execute("NOROWS", -1, &affected);
  ASSERT_NE(rs, nullptr);
  EXPECT_EQ(rs->State(), adStateClosed);
  EXPECT_EQ(affected, 3);
  EXPECT_EQ(ErrorOf([&] { (void)rs->Eof(); }), AdoHresult(AdoError::kObjectClosed));
  EXPECT_EQ(ErrorOf([&] { rs->Close(); }), AdoHresult(AdoError::kObjectClosed));
  EXPECT_EQ(rs->Fields().Count(), 0);
  EXPECT_EQ(rs->NextRecordset(), nullptr);
}

TEST_F(ConnectionTest, AnErrorIsRaisedEvenAfterRows) {
  try {
    (void)connection_->Execute("SYNTAX", -1);
    FAIL() << "the failed batch was reported as success";
  } catch (const AutomationError& error) {
    EXPECT_EQ(error.number(), static_cast<int32_t>(0x80040E14));
    EXPECT_EQ(error.number(), -2147217900);
    EXPECT_EQ(error.description(), "Incorrect syntax near 'FROM'.");
    EXPECT_EQ(error.source(), "Test.Provider");
  }
  ASSERT_EQ(connection_->Errors().size(), 1u);
  EXPECT_EQ(connection_->Errors()[0].native_error, 102);
  EXPECT_EQ(connection_->Errors()[0].sql_state, "42000");
  EXPECT_EQ(connection_->Errors()[0].line, 3);
  EXPECT_EQ(ErrorOf([&] { (void)connection_->Execute("MISSING"); }), static_cast<int32_t>(0x80040E37));
  EXPECT_EQ(connection_->Errors()[0].native_error, 208);
  EXPECT_EQ(connection_->Errors()[0].sql_state, "42S02");
  EXPECT_EQ(ErrorOf([&] { (void)connection_->Execute("SEVERE"); }), static_cast<int32_t>(0x80004005));
  EXPECT_EQ(ErrorOf([&] { (void)connection_->Execute("UNLISTED"); }), static_cast<int32_t>(0x80040E14));
  // An empty batch is a caller's fault, not a success with nothing in it.
  EXPECT_EQ(ErrorOf([&] { (void)connection_->Execute(" \t"); }), static_cast<int32_t>(0x80040E0C));
  (void)connection_->Execute("SELECT");
  EXPECT_TRUE(connection_->Errors().empty());
}

TEST(NativeErrorMapping, ProviderCodesOfTheDatabaseErrors) {
  EXPECT_EQ(MapNativeError(156, 15).hresult, kHrErrorsInCommand);
  EXPECT_EQ(MapNativeError(207, 16).hresult, kHrErrorsInCommand);
  EXPECT_EQ(MapNativeError(8134, 16).hresult, kHrErrorsInCommand);
  EXPECT_EQ(MapNativeError(245, 16).hresult, kHrCantConvertValue);
  EXPECT_EQ(MapNativeError(8114, 16).hresult, kHrCantConvertValue);
  EXPECT_EQ(MapNativeError(8115, 16).hresult, kHrDataOverflow);
  EXPECT_EQ(MapNativeError(8152, 16).hresult, kHrDataOverflow);
  EXPECT_EQ(MapNativeError(515, 16).hresult, kHrIntegrityViolation);
  EXPECT_EQ(MapNativeError(2627, 14).hresult, kHrIntegrityViolation);
  EXPECT_EQ(MapNativeError(50002, 16).hresult, kHrFail);
}

TEST_F(ConnectionTest, ClosedConnectionAndUnknownProvider) {
  connection_->Close();
  EXPECT_EQ(connection_->State(), adStateClosed);
  try {
    (void)connection_->Execute("SELECT");
    FAIL();
  } catch (const AutomationError& error) {
    EXPECT_EQ(error.number(), static_cast<int32_t>(0x800A0E7D));
    EXPECT_EQ(error.description(),
              "The connection cannot be used to perform this operation. It is either closed or invalid in this context.");
  }
  EXPECT_EQ(ErrorOf([&] { connection_->Close(); }), static_cast<int32_t>(0x800A0E78));
  Connection other;
  for (const char* text : {"Provider=SQLOLEDB;Data Source=erp", "Driver={SQL Server};Server=erp", ""}) {
    try {
      other.Open(text);
      FAIL() << text;
    } catch (const AutomationError& error) {
      EXPECT_EQ(error.number(), static_cast<int32_t>(0x800A0E7A)) << text;
      EXPECT_EQ(error.description(), "Provider cannot be found. It may not be properly installed.");
    }
  }
  EXPECT_EQ(other.State(), adStateClosed);
  other.Open("Provider=Test.Provider.1;Data Source=unit");  // a versioned name finds the provider
  EXPECT_EQ(ErrorOf([&] { other.Open("Provider=Test.Provider;Data Source=unit"); }), static_cast<int32_t>(0x800A0E79));
  EXPECT_EQ(ErrorOf([&] { other.SetCursorLocation(1); }), static_cast<int32_t>(0x800A0BB9));
  EXPECT_EQ(ErrorOf([&] { other.SetCommandTimeout(-1); }), static_cast<int32_t>(0x800A0BB9));
}

TEST_F(ConnectionTest, CursorWalksBetweenBofAndEof) {
  auto rs = connection_->Execute("SELECT");
  EXPECT_FALSE(rs->Bof());
  EXPECT_EQ(rs->AbsolutePosition(), 1);
  int32_t sum = 0;
  std::string names;
  for (; !rs->Eof(); rs->MoveNext()) {
    sum += rs->Fields()["FID"].Value().ToLong();
    names += rs->Fields()[1].Value().ToString();
  }
  EXPECT_EQ(sum, 6);
  EXPECT_EQ(names, "n1n2n3");
  EXPECT_EQ(rs->AbsolutePosition(), adPosEOF);
  EXPECT_EQ(ErrorOf([&] { rs->MoveNext(); }), static_cast<int32_t>(0x800A0BCD));
  EXPECT_EQ(ErrorOf([&] { (void)rs->Collect(0); }), static_cast<int32_t>(0x800A0BCD));
  rs->MovePrevious();
  EXPECT_EQ(rs->Collect("fname").ToString(), "n3");
  rs->MoveFirst();
  rs->MovePrevious();
  EXPECT_TRUE(rs->Bof());
  EXPECT_EQ(rs->AbsolutePosition(), adPosBOF);
  EXPECT_EQ(ErrorOf([&] { rs->MovePrevious(); }), static_cast<int32_t>(0x800A0BCD));
  rs->MoveLast();
  EXPECT_EQ(rs->AbsolutePosition(), 3);
  rs->SetAbsolutePosition(2);
  EXPECT_EQ(rs->Collect(0).ToLong(), 2);
  EXPECT_EQ(ErrorOf([&] { rs->SetAbsolutePosition(4); }), static_cast<int32_t>(0x800A0BB9));
  EXPECT_EQ(ErrorOf([&] { (void)rs->Fields()["Nope"]; }), static_cast<int32_t>(0x800A0CC1));
  EXPECT_EQ(ErrorOf([&] { (void)rs->Fields()[2]; }), static_cast<int32_t>(0x800A0CC1));
  EXPECT_EQ(ErrorOf([&] { (void)rs->Fields()[-1]; }), static_cast<int32_t>(0x800A0CC1));
}

TEST_F(ConnectionTest, EmptyRowSetIsOpenWithBofAndEof) {
  auto rs = connection_->Execute("EMPTY");
  EXPECT_EQ(rs->State(), adStateOpen);
  EXPECT_TRUE(rs->Bof());
  EXPECT_TRUE(rs->Eof());
  EXPECT_EQ(rs->RecordCount(), 0);
  EXPECT_EQ(rs->Fields().Count(), 2);
  EXPECT_EQ(rs->Fields()["FNAME"].Name(), "FName");
  EXPECT_EQ(ErrorOf([&] { rs->MoveFirst(); }), static_cast<int32_t>(0x800A0BCD));
  EXPECT_EQ(ErrorOf([&] { rs->MoveLast(); }), static_cast<int32_t>(0x800A0BCD));
}

TEST_F(ConnectionTest, DetachedRecordsetOutlivesItsConnectionAttachedOnesCloseWithIt) {
  auto detached = connection_->Execute("SELECT");
  auto attached = connection_->Execute("SELECT");
  detached->SetActiveConnection(nullptr);
  EXPECT_EQ(detached->ActiveConnection(), nullptr);
  EXPECT_EQ(attached->ActiveConnection(), connection_);
  const Field kept_field = attached->Fields()[0];
  connection_->Close();
  connection_.reset();
  EXPECT_EQ(attached->State(), adStateClosed);
  EXPECT_EQ(ErrorOf([&] { (void)kept_field.Name(); }), static_cast<int32_t>(0x800A0E78));
  ASSERT_EQ(detached->State(), adStateOpen);
  detached->MoveLast();
  EXPECT_EQ(detached->Collect("FName").ToString(), "n3");
}

TEST_F(ConnectionTest, ObserverSeesEveryBatch) {
  std::vector<std::string> seen;
  SetExecuteObserver([&](std::string_view batch) { seen.emplace_back(batch); });
  (void)connection_->Execute("SELECT");
  EXPECT_EQ(ErrorOf([&] { (void)connection_->Execute("MISSING"); }), static_cast<int32_t>(0x80040E37));
  SetExecuteObserver(nullptr);
  (void)connection_->Execute("EMPTY");
  EXPECT_EQ(seen, (std::vector<std::string>{"SELECT", "MISSING"}));
}

TEST(ConnectionString, KeysIgnoreCaseAndBlanksValuesMayBeQuoted) {
  const ConnectionProperties p =
      ParseConnectionString(" Provider = Orvalent.Embedded ;Data Source=demo-small; Password=\"a;b\";junk;User ID='u'");
  EXPECT_EQ(p.provider(), "Orvalent.Embedded");
  EXPECT_EQ(p.Get({"DATA SOURCE"}), "demo-small");
  EXPECT_EQ(p.Get({"password"}), "a;b");
  EXPECT_EQ(p.Get({"user id"}), "u");
  EXPECT_EQ(p.Get({"server", "data source"}), "demo-small");
  EXPECT_FALSE(p.Has("junk"));
  EXPECT_EQ(ParseConnectionString("Data Source=a;data source=b").Get({"Data Source"}), "b");
}

}  // namespace
}  // namespace orv::platform
