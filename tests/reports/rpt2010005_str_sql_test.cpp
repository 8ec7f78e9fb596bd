// GetstrSQL of the procurement order execution report on a provider that
// records the batches it is given and fails where told: both batches in
// order, the second's rows detached, and the two kinds of failure message.
#include <gtest/gtest.h>

#include <optional>

#include "platform/automation_error.h"
#include "platform/provider.h"
#include "reports/rpt2010005/sql_routines.h"
#include "tests/toolkit/condition_dict.h"
#include "tests/toolkit/expect_raises.h"

namespace orv::reports::rpt2010005 {
namespace {

using platform::ProviderBatch;
using platform::Variant;

class OneRow : public platform::RowSource {
 public:
  const std::vector<platform::FieldInfo>& Columns() const override { return columns_; }
  size_t RowCount() const override { return 1; }
  Variant Value(size_t, size_t) const override { return Variant(int16_t{101}); }

 private:
  std::vector<platform::FieldInfo> columns_{{"FSumSort", platform::DataTypeEnum::adSmallInt, 2, 5, 0}};
};

// What the test provider saw, and the batch (0 or 1) it fails with `error`.
struct Script {
  std::vector<std::string> batches;
  int fail_at = -1;
  platform::ProviderError error;
};
Script script;

class RecordingSession : public platform::ProviderSession {
 public:
  ProviderBatch Execute(std::string_view batch) override {
    ProviderBatch result;
    if (static_cast<int>(script.batches.size()) == script.fail_at) {
      result.error = script.error;
    } else {
      result.row_sets.push_back(std::make_shared<OneRow>());
    }
    script.batches.emplace_back(batch);
    return result;
  }
};

class GetstrSQLTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::RegisterProvider("Orvalent.Recording", [](const platform::ConnectionProperties&) {
      return std::make_unique<RecordingSession>();
    });
    script = Script{};
    connection_ = std::make_shared<platform::Connection>();
    connection_->Open("Provider=Orvalent.Recording;");
    parser_.ParseString("Language=chs;");
  }

  void FailAt(int batch, int native_number, const std::string& message) {
    script.fail_at = batch;
    script.error.native_number = native_number;
    script.error.message = message;
    script.error.source = "Orvalent.Recording";
  }

  std::shared_ptr<platform::Connection> connection_;
  frame::CParse parser_;
};

TEST_F(GetstrSQLTest, RunsDetailThenTotalAndDetachesTheRows) {
  const platform::ConditionDictionary dct = test::Dict({{"FSupplyFrom", "S01"}});
  const std::shared_ptr<platform::Recordset> rows = GetstrSQL(*connection_, parser_, "chs", &dct);
  ASSERT_EQ(script.batches.size(), 2u);
  EXPECT_EQ(script.batches[0], GetDetailBatchSQL("chs", &dct));
  EXPECT_EQ(script.batches[1], GetTotalBatchSQL("chs"));
  ASSERT_NE(rows, nullptr);
  EXPECT_EQ(rows->ActiveConnection(), nullptr);
  EXPECT_EQ(rows->Collect("FSumSort").ToLong(), 101);
}

TEST_F(GetstrSQLTest, RejectedCommandTextGetsTheSummaryAdviceFirst) {
  FailAt(1, 207, "Invalid column name 'FQtyX'.");
  try {
    GetstrSQL(*connection_, parser_, "chs", nullptr);
    ADD_FAILURE() << "failure reported as success";
  } catch (const platform::AutomationError& e) {
    EXPECT_EQ(e.number(), platform::kErrCommandText);
    EXPECT_EQ(e.source(), "\r\nOrvalent.CRPT2010005.GetstrSQL");
    EXPECT_EQ(e.description(), "指定了太多汇总列，请重新选择汇总方式！\r\nInvalid column name 'FQtyX'.");
  }
}

TEST_F(GetstrSQLTest, AdviceStillComesWhenTheParserHasNoLanguage) {
  frame::CParse no_language;
  no_language.ParseString("UserName=demo;");
  FailAt(0, 102, "Incorrect syntax near 'x'.");
  try {
    GetstrSQL(*connection_, no_language, "chs", nullptr);
    ADD_FAILURE() << "failure reported as success";
  } catch (const platform::AutomationError& e) {
    EXPECT_EQ(e.number(), platform::kErrCommandText);
    EXPECT_EQ(e.description(), "指定了太多汇总列，请重新选择汇总方式！\r\nIncorrect syntax near 'x'.");
  }
  EXPECT_EQ(script.batches.size(), 1u);  // the total batch never ran
}

TEST_F(GetstrSQLTest, OtherErrorsKeepNumberAndDescription) {
  FailAt(1, 208, "Invalid object name '#AA_Rpt2010005'.");
  try {
    GetstrSQL(*connection_, parser_, "chs", nullptr);
    ADD_FAILURE() << "failure reported as success";
  } catch (const platform::AutomationError& e) {
    EXPECT_NE(e.number(), platform::kErrCommandText);
    EXPECT_EQ(e.source(), "\r\nOrvalent.CRPT2010005.GetstrSQL");
    EXPECT_EQ(e.description(), "Invalid object name '#AA_Rpt2010005'.");
  }
}

TEST_F(GetstrSQLTest, ABadConditionFailsBeforeAnyBatchRuns) {
  const platform::ConditionDictionary dct = test::Dict({{"FChkBillDate", 1}, {"FBillStartDate", "soon"}});
  test::ExpectRaises([&] { GetstrSQL(*connection_, parser_, "chs", &dct); }, platform::kErrTypeMismatch,
                     "\r\nOrvalent.CRPT2010005.GetstrSQL");
  EXPECT_TRUE(script.batches.empty());
}

}  // namespace
}  // namespace orv::reports::rpt2010005
