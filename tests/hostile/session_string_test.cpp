// Hostile session property strings through GetRptData of every report that
// returns rows: a string the session cannot be opened from ends in a clear
// error with the report's source; one that still names the tiny database and
// only carries odd extras gives exactly the rows of the plain session.
#include <gtest/gtest.h>

#include "tests/hostile/hostile_fixture.h"

namespace orv::test {
namespace {

using platform::ConditionDictionary;
using namespace std::string_literals;

constexpr std::string_view kConnect = "ConnectString={Provider=Orvalent.Embedded;Data Source=demo-tiny};";

enum class Expect { Rows, Error };

struct SessionCase {
  std::string name;
  std::string sDsn;
  Expect expect;
  int32_t number = 0;  // the error's number when it is known, else 0
};

std::string WithConnect(std::string_view rest) { return std::string(kConnect) + std::string(rest); }

std::string ManyPairs(size_t count) {
  std::string pairs;
  for (size_t i = 0; i < count; ++i) pairs += "P" + std::to_string(i) + "=" + std::to_string(i) + ";";
  return pairs;
}

const std::vector<SessionCase>& Cases() {
  using platform::kErrDuplicateKey;
  using platform::kErrInvalidProcedureCall;
  const std::string mega(size_t{1} << 20, 'x');
  static const std::vector<SessionCase> cases = {
      {"empty string", "", Expect::Error, kErrInvalidProcedureCall},
      {"no ConnectString", "UserName=demo;Language=chs;", Expect::Error, kErrInvalidProcedureCall},
      {"only separators", ";;;;;;;;", Expect::Error, kErrInvalidProcedureCall},
      // The name runs to the end of the string and its value is empty.
      {"name without value", "ConnectString", Expect::Error},
      {"leading =", "=" + WithConnect("Language=chs;"), Expect::Error, kErrInvalidProcedureCall},
      {"empty pair before ConnectString", "A=1;;" + WithConnect(""), Expect::Error, kErrInvalidProcedureCall},
      {"empty connection string", "ConnectString=;Language=chs;", Expect::Error},
      {"empty braces", "ConnectString={};Language=chs;", Expect::Error},
      {"unbraced connection string", "ConnectString=Provider=Orvalent.Embedded;Data Source=demo-tiny;", Expect::Error},
      {"duplicate ConnectString", WithConnect("connectstring={Provider=Orvalent.Embedded;Data Source=x};"),
       Expect::Error, kErrDuplicateKey},
      {"duplicate Language", WithConnect("Language=chs; LANGUAGE =en;"), Expect::Error, kErrDuplicateKey},
      {"unknown provider", "ConnectString={Provider=SQLOLEDB.1;Data Source=erp};Language=chs;", Expect::Error},
      {"no data source", "ConnectString={Provider=Orvalent.Embedded;Data Source=};Language=chs;", Expect::Error},
      {"database that has no tables", "ConnectString={Provider=Orvalent.Embedded;Data Source=hostile-empty};",
       Expect::Error},
      {"1 MB database name", "ConnectString={Provider=Orvalent.Embedded;Data Source=" + mega + "};", Expect::Error},
      // The value runs to the end of the string; the connection string then
      // carries Language=chs as an extra the provider ignores.
      {"brace never closed", "ConnectString={Provider=Orvalent.Embedded;Data Source=demo-tiny;Language=chs;",
       Expect::Rows},
      {"deeply nested braces as connection string", "ConnectString=" + std::string(100000, '{') + ";",
       Expect::Error},
      {"NUL in the database name", "ConnectString={Provider=Orvalent.Embedded;Data Source=demo-tiny\0};"s,
       Expect::Error},
      {"text after the closing brace", "ConnectString={Provider=Orvalent.Embedded;Data Source=demo-tiny}junk;",
       Expect::Rows},
      {"1 MB user name", WithConnect("UserName=" + mega + ";Language=chs;"), Expect::Rows},
      {"1 MB language", WithConnect("Language=" + mega + ";"), Expect::Rows},
      {"language with a path", WithConnect("Language=../../../../etc/passwd;"), Expect::Rows},
      {"language with a quote", WithConnect("Language=en' OR '1'='1;"), Expect::Rows},
      {"language with a NUL", WithConnect("Language=en\0;"s), Expect::Rows},
      {"UserID out of range", WithConnect("UserID=99999999999999999999;Language=chs;"), Expect::Rows},
      {"deeply nested braces as a value", WithConnect("X=" + std::string(100000, '{') + std::string(100000, '}') + ";"),
       Expect::Rows},
      {"invalid UTF-8 name and value", "\xFF\xFE=\xC3;" + WithConnect("Language=chs;"), Expect::Rows},
      {"100000 pairs", ManyPairs(100000) + WithConnect("Language=chs;"), Expect::Rows},
  };
  return cases;
}

// A report and the grouping key, if any, it needs set to "0" to return rows.
struct ReportCase {
  const char* prog_id;
  const char* class_name;
  const char* group_key;
};

class SessionStringHostile : public HostileTest, public ::testing::WithParamInterface<ReportCase> {};

TEST_P(SessionStringHostile, ClearErrorOrThePlainSessionsRows) {
  const auto [prog_id, class_name, group_key] = GetParam();
  const std::vector<std::string> key_columns;  // whole rows
  ConditionDictionary dct;
  if (*group_key) dct.Set(group_key, platform::Variant("0"));
  const ReportOutcome baseline = RunReport(prog_id, kTinySession, &dct, key_columns);
  ASSERT_FALSE(baseline.error) << baseline.error->description();
  for (const SessionCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    const ReportOutcome outcome = RunReport(prog_id, c.sDsn, &dct, key_columns);
    const Expect expect = c.expect;
    const int32_t number = c.number;
    if (outcome.error || expect == Expect::Error) {
      EXPECT_EQ(expect, Expect::Error) << "raised " << (outcome.error ? outcome.error->description() : "");
      EXPECT_TRUE(IsClearError(outcome, class_name));
      if (outcome.error && number != 0) {
        EXPECT_EQ(outcome.error->number(), number);
      }
      continue;
    }
    EXPECT_EQ(outcome.details, baseline.details);
    EXPECT_EQ(outcome.totals, baseline.totals);
  }
}

INSTANTIATE_TEST_SUITE_P(EveryReport, SessionStringHostile,
                         ::testing::Values(ReportCase{"Orvalent.CRPT2010001", "CRPT2010001", ""},
                                           ReportCase{"Orvalent.CRPT2010002", "CRPT2010002", ""},
                                           ReportCase{"Orvalent.CRPT2010005", "CRPT2010005", ""},
                                           ReportCase{"Orvalent.CRPT2010006", "CRPT2010006", "FGroupByUseDept"},
                                           ReportCase{"Orvalent.CRPT2010007", "CRPT2010007", "FGroupByItem"}),
                         [](const auto& info) { return std::string(info.param.class_name); });

}  // namespace
}  // namespace orv::test
