// The interactive SQL shell on a pseudo-terminal: numbered prompts, GO,
// Chinese text through the line editor, history kept in the home folder,
// Ctrl-C at the prompt and while a batch runs, and the ways out.
#include <thread>

#include "tests/cli/cli_fixture.h"

namespace orv::cli::test {
namespace {

using Interactive = CliTest;

TEST_F(Interactive, PromptsNumberTheLinesOfABatchAndGoRunsIt) {
  Terminal terminal(binary_, {"sql"}, directory_);
  terminal.Expect("1> ");
  terminal.Type("SELECT N'资产' AS FName,\r");
  terminal.Expect("2> ");
  terminal.Type("  12 AS FQty\r");
  terminal.Expect("3> ");
  terminal.Type("GO\r");
  const std::string shown = terminal.Expect("1> ");
  EXPECT_NE(shown.find("FName FQty\r\n----- ----\r\n资产    12\r\n\r\n(1 row affected)\r\n"), std::string::npos)
      << shown;
  terminal.Type("exit\r");
  EXPECT_EQ(terminal.Wait(), 0);
  // The lines typed are kept for the next session.
  const std::string history = ReadFile(directory_ / ".orvalent_history");
  EXPECT_NE(history.find("GO"), std::string::npos) << history;
}

TEST_F(Interactive, CtrlCAtThePromptDropsThePendingBatch) {
  Terminal terminal(binary_, {"sql", "--format", "csv"}, directory_);
  terminal.Expect("1> ");
  terminal.Type("SELECT 1 / 0\r");
  terminal.Expect("2> ");
  terminal.Type("\x03");
  terminal.Expect("1> ");
  terminal.Type("SELECT 2 AS FTwo\r");
  terminal.Expect("2> ");
  terminal.Type("GO\r");
  const std::string shown = terminal.Expect("1> ");
  EXPECT_EQ(shown.find("Divide by zero"), std::string::npos) << shown;
  EXPECT_NE(shown.find("FTwo\r\r\n2\r\r\n"), std::string::npos) << shown;
  terminal.Type(":quit\r");
  EXPECT_EQ(terminal.Wait(), 0);
}

TEST_F(Interactive, CtrlCWhileABatchRunsLeavesTheShellRunning) {
  Terminal terminal(binary_, {"sql"}, directory_);
  terminal.Expect("1> ");
  terminal.Type(
      "SET NOCOUNT ON CREATE TABLE #N (FV INT) INSERT INTO #N VALUES (0),(1),(2),(3),(4),(5),(6),(7),(8),(9) "
      "SELECT a.FV + 10 * b.FV + 100 * c.FV AS FV INTO #K FROM #N a CROSS JOIN #N b CROSS JOIN #N c\r");
  terminal.Expect("2> ");
  terminal.Type("GO\r");
  terminal.Expect("1> ");
  // A thousand times a thousand times a thousand rows: only a cancel ends it.
  terminal.Type("SELECT COUNT(*) AS FN FROM #K a CROSS JOIN #K b CROSS JOIN #K c\r");
  terminal.Expect("2> ");
  terminal.Type("GO\r");
  terminal.Expect("GO\r\n");
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  terminal.Type("\x03");
  const std::string shown = terminal.Expect("1> ", std::chrono::minutes(3));
  // The statement stops with the cancel error; no count comes.
  EXPECT_EQ(shown.find("10000000"), std::string::npos) << shown;
  EXPECT_NE(shown.find("Query was canceled by user."), std::string::npos) << shown;
  EXPECT_TRUE(terminal.Running());
  terminal.Type("SELECT 3 AS FThree\rGO\r");
  EXPECT_NE(terminal.Expect("1> ").find("FThree"), std::string::npos);
  terminal.Type("\x04");  // end of input
  EXPECT_EQ(terminal.Wait(), 1);  // the cancelled batch failed
}

TEST_F(Interactive, AFailedBatchMakesTheExitCodeOne) {
  Terminal terminal(binary_, {"sql"}, directory_);
  terminal.Expect("1> ");
  terminal.Type("SELECT * FROM t_Nope\rGO\r");
  EXPECT_NE(terminal.Expect("1> ").find("Invalid object name 't_Nope'."), std::string::npos);
  terminal.Type("quit\r");
  EXPECT_EQ(terminal.Wait(), 1);
}

}  // namespace
}  // namespace orv::cli::test
