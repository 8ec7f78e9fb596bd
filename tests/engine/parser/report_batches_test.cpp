// The batches the reports send, line by line as they build them (CR LF line
// ends, comments in Chinese, statements that follow each other on one line),
// parse into the statements and shapes the executor expects.
#include <gtest/gtest.h>

#include "ast_dump.h"
#include "engine/parser/parser.h"

namespace orv::engine::test {
namespace {

std::string Lines(std::initializer_list<std::string> lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

template <class T>
const T& As(const ast::StmtPtr& stmt) {
  return static_cast<const T&>(*stmt);
}

// Report 2010001: the filter fragments are appended without a line break, so
// the total-row INSERT starts on the line of the WHERE predicates.
TEST(ParserReportBatches, PurchaseInvoiceBatchWithFiltersOnTheInsertLine) {
  const std::string c =
      "(FDate,FFinDate,FInvoiceType,FInvoiceNumber,FSupplyNumber,FSupplyName,FItemNumber,"
      " FItemName,FModel,FAuxPropertyID,FCurrencyID,FUnitID,FQty,FPrice,FBaseUnitID,FBaseQty,"
      " FBasePrice,FComUnitID,FComQty,FComPrice,FAmount,FTaxRate,FTaxAmt,FTotalAmt,"
      " FTotalAmtFor,FChecker,FNote,FSumSort,FCurrencyDecimal,FQtyDecimal,FPriceDecimal)";
  const std::string sql = Lines({
      "--创建临时表 ",
      "SET NOCOUNT ON ",
      "Create Table #Rpt2010001_1(",
      "FDate          DATETIME,                              ",
      "FInvoiceType   NVARCHAR(255) NOT NULL DEFAULT(''),    ",
      "FQty           DECIMAL(23,10),    ",
      "FSumSort       SMALLINT NOT NULL DEFAULT(0),          ",
      "FPriceDecimal  SMALLINT DEFAULT(0)                    ",
      ")",
      "INSERT INTO #Rpt2010001_1" + c,
      "SELECT u.FDate,u.FFincDate",
      ",FInvoiceType=(CASE u.FClassTypeID WHEN 1000003 THEN N'资产采购普通发票' WHEN 1000004 THEN '资产采购增值税发票' "
      "ELSE N'' END)",
      ",u.FBillNo,sup.FNumber AS FSupplyNumber,sup.FName AS FSupplyName",
      ",ISNULL(v.FAuxPrice,0)/(CASE uni.FCoefficient WHEN 0 THEN 1 ELSE uni.FCoefficient END) AS FBasePrice",
      ",ISNULL(v.FTaxRate,0)*0.01 AS FTaxRate,ISNULL(v.FTaxAmount,0) AS FTaxAmount",
      ",ISNULL(usr.FName,'') AS FChecker,ISNULL(u.FNote,'') AS FNote,0,ISNULL(cur.FScale,2) AS "
      "FCurrencyDecimal,ite.FQtyDecimal,ite.FPriceDecimal",
      "FROM ICPurChase u",
      "INNER JOIN ICPurChaseEntry v  ON u.FInterID=v.FInterID",
      "LEFT JOIN t_Supplier sup ON u.FSupplyID=sup.FItemID",
      "LEFT JOIN t_ICItem ite   ON v.FItemID=ite.FItemID ",
      "LEFT JOIN t_User usr ON u.FCheckerID=usr.FUserID AND usr.FUserID>0",
      "WHERE u.FSubSystemID=3 ",
  }) + " AND u.FDate>='2024-01-01' AND ISNULL(u.FCheckerID,0)=0" + Lines({
      "INSERT INTO #Rpt2010001_1" + c,
      "SELECT NULL,NULL,'','',N'',N'',N'合计：'",
      ",ISNULL(SUM(FTotalAmtFor),0),N'',N'',101,MAX(FCurrencyDecimal),NULL,NULL",
      "FROM #Rpt2010001_1",
      "SELECT * FROM #Rpt2010001_1 ORDER BY FSumSort,FDate",
      "DROP TABLE #Rpt2010001_1",
  });
  ast::Batch batch = ParseBatch(sql);
  ASSERT_EQ(batch.statements.size(), 6u);
  EXPECT_EQ(batch.statements[0]->kind, ast::StmtKind::SetOption);
  EXPECT_EQ(As<ast::SetOptionStmt>(batch.statements[0]).option, "NOCOUNT");
  EXPECT_EQ(batch.statements[0]->line, 2);

  const auto& create = As<ast::CreateTableStmt>(batch.statements[1]);
  ASSERT_EQ(create.columns.size(), 5u);
  EXPECT_EQ(create.columns[1].type.name, "NVARCHAR");
  EXPECT_EQ(create.columns[1].type.arg1, 255);
  EXPECT_EQ(create.columns[1].nullable, 0);
  EXPECT_EQ(Dump(*create.columns[1].default_value), "''");
  EXPECT_EQ(create.columns[2].type.arg2, 10);
  EXPECT_EQ(create.columns[4].nullable, -1);

  const auto& detail = As<ast::InsertStmt>(batch.statements[2]);
  EXPECT_EQ(detail.line, 10);
  EXPECT_EQ(detail.columns.size(), 31u);
  EXPECT_EQ(detail.columns[8], "FModel");
  const ast::SelectCore& core = *detail.query->select;
  EXPECT_EQ(core.items[2].alias, "FInvoiceType");
  EXPECT_EQ(Dump(*core.items[2].expr), "(CASE u.FClassTypeID (WHEN 1000003 N'资产采购普通发票') "
                                        "(WHEN 1000004 '资产采购增值税发票') (ELSE N''))");
  EXPECT_EQ(Dump(*core.where),
            "(AND (AND (= u.FSubSystemID 3) (>= u.FDate '2024-01-01')) (= ISNULL(u.FCheckerID, 0) 0))");
  EXPECT_EQ(Dump(*core.from),
            "{LEFT {LEFT {LEFT {INNER ICPurChase AS u ICPurChaseEntry AS v ON (= u.FInterID v.FInterID)} "
            "t_Supplier AS sup ON (= u.FSupplyID sup.FItemID)} t_ICItem AS ite ON (= v.FItemID ite.FItemID)} "
            "t_User AS usr ON (AND (= u.FCheckerID usr.FUserID) (> usr.FUserID 0))}");

  // The total row's INSERT begins on the WHERE line (23), after the predicates.
  EXPECT_EQ(batch.statements[3]->kind, ast::StmtKind::Insert);
  EXPECT_EQ(batch.statements[3]->line, 23);
  EXPECT_EQ(Dump(*As<ast::SelectStmt>(batch.statements[4]).query),
            "[SELECT * FROM #Rpt2010001_1] ORDER BY FSumSort, FDate");
  EXPECT_EQ(batch.statements[5]->kind, ast::StmtKind::DropTable);
}

// Report 2010005: comment lines, a comment behind a column, ON [PRIMARY], the
// alias that runs into its keyword, and a filter text that starts with CR LF.
TEST(ParserReportBatches, ProcurementOrderCreateAndInsert) {
  const std::string sql = Lines({
      "SET NOCOUNT ON",
      "--数据来源：",
      "--创建临时表：",
      "IF OBJECT_ID('tempdb..#AA_Rpt2010005')<>0 DROP TABLE #AA_Rpt2010005",
      "",
      "CREATE TABLE #AA_Rpt2010005(",
      "   FSupplyNumber      NVARCHAR(255)   NOT NULL DEFAULT(''),",
      "   FDate              DATETIME        NULL,",
      "   FQty               DECIMAL(23,10)  NOT NULL DEFAULT(0),",
      "   FSumSort           SMALLINT        NOT NULL DEFAULT(0),",
      "   FQtyDecimal        INT             NULL DEFAULT(0), --数量精度",
      "   FPriceDecimal      INT             NULL DEFAULT(0) ---单价精度",
      "   ) ON [PRIMARY]",
      "--数据来源：",
      "--单据包括:资产采购订单",
      "  INSERT INTO #AA_Rpt2010005 ",
      "   ( FSupplyNumber,FDate,",
      "     FItemAuxProPerty,FCloseStatus,FQty,FSumSort,FQtyDecimal,FPriceDecimal",
      "    )",
      "  --资产采购订单---",
      "  SELECT IsNull(ts.FNumber,'') as FSupplyNumber,aa.FDate as FDate,",
      "       IsNull(taux.FName,'') asFItemAuxProPerty, ",
      "       Case When aa.FCloseStatus = 0 Then'未关闭' Else'关闭' End as FCloseStatus, ",
      "       (IsNull(ae.FQty,0) - IsNull(ae.FAuxRelateQty,0)) as FUnArriveQty,",
      "       0 as FSumSort,IsNull(tc.FQtyDecimal,4) ,IsNull(tc.FPriceDecimal,2)",
      "       FROM AA_AssetsProcurement aa",
      "       Inner Join AA_AssetsProcurementEntry ae On aa.FID = ae.FID",
      "       Left Join t_AuxItem taux On ae.FItemAuxPropertyID = taux.FItemID",
      "       WHERE 1=1 ",
  }) + " AND aa.FDate>='2024-01-01' And ts.FNumber<='S9'";
  ast::Batch batch = ParseBatch(sql);
  ASSERT_EQ(batch.statements.size(), 4u);

  const auto& drop_if = As<ast::IfStmt>(batch.statements[1]);
  EXPECT_EQ(drop_if.line, 4);
  EXPECT_EQ(Dump(*drop_if.condition), "(<> OBJECT_ID('tempdb..#AA_Rpt2010005') 0)");
  EXPECT_EQ(drop_if.then_stmt->kind, ast::StmtKind::DropTable);
  EXPECT_EQ(As<ast::DropTableStmt>(drop_if.then_stmt).names[0], ast::Name{"#AA_Rpt2010005"});
  EXPECT_EQ(drop_if.else_stmt, nullptr);

  const auto& create = As<ast::CreateTableStmt>(batch.statements[2]);
  EXPECT_EQ(create.line, 6);
  EXPECT_EQ(create.table, ast::Name{"#AA_Rpt2010005"});
  ASSERT_EQ(create.columns.size(), 6u);
  EXPECT_EQ(create.columns[1].nullable, 1);
  EXPECT_EQ(create.columns[4].name, "FQtyDecimal");
  EXPECT_EQ(create.columns[4].type.name, "INT");
  EXPECT_EQ(create.columns[4].nullable, 1);
  EXPECT_EQ(Dump(*create.columns[4].default_value), "0");
  EXPECT_EQ(create.columns[5].name, "FPriceDecimal");
  EXPECT_TRUE(create.keys.empty());

  const auto& insert = As<ast::InsertStmt>(batch.statements[3]);
  EXPECT_EQ(insert.line, 16);
  EXPECT_EQ(insert.columns.size(), 8u);
  const ast::SelectCore& core = *insert.query->select;
  ASSERT_EQ(core.items.size(), 8u);
  EXPECT_EQ(core.items[2].alias, "asFItemAuxProPerty");
  EXPECT_EQ(Dump(*core.items[2].expr), "ISNULL(taux.FName, '')");
  EXPECT_EQ(Dump(*core.items[3].expr), "(CASE (WHEN (= aa.FCloseStatus 0) '未关闭') (ELSE '关闭'))");
  EXPECT_EQ(Dump(*core.items[4].expr), "(- ISNULL(ae.FQty, 0) ISNULL(ae.FAuxRelateQty, 0))");
  EXPECT_EQ(core.items[6].alias, "");
  EXPECT_EQ(Dump(*core.where), "(AND (AND (= 1 1) (>= aa.FDate '2024-01-01')) (<= ts.FNumber 'S9'))");
}

// The item level table for levels 1 to 2 of suppliers, with its filter placeholder replaced.
TEST(ParserReportBatches, ItemLevelBatchWithNestedCharIndex) {
  const std::string p1 = "CharIndex('.',FFullNumber)";
  const std::string p2 = "CharIndex('.',FFullNumber," + p1 + "+1)";
  std::string sql = Lines({
      "--构建级次SQL:Begin--",
      "IF OBJECT_ID('tempdb..#ItemLevel')<>0 DROP TABLE #ItemLevel",
      "CREATE TABLE #ItemLevel( ",
      " FItemClassID int, ",
      " FNumber1 NVarchar(355),",
      " FName1 NVarchar(355),",
      " FNumber2 NVarchar(355),",
      " FName2 NVarchar(355),",
      " FItemID int,",
      " FNumber NVARCHAR(355),",
      " FName NVARCHAR(355))",
      "",
      " Insert Into #ItemLevel ",
      " SELECT FItemClassID, ",
      "",
      " Case When " + p1 + "-1= -1  THEN FNumber ",
      "      ELSE SUBSTRING(FNumber, 1," + p1 + "-1)  END, ",
      " '',",
      "",
      " Case When " + p1 + "-1= -1  THEN Null ",
      "When " + p2 + "-1= -1  THEN FNumber ",
      "      ELSE SUBSTRING(FNumber, 1," + p2 + "-1)  END, ",
      " '',",
      " FItemID,FNumber,FName From t_Item",
      " Where FItemClassID=8",
      "  AND FItemID IN(Select FSupplyID From #AA_Rpt2010002)",
      " Update t0 SET t0.FName1=t1.FName,t0.FName2=t2.FName",
      " From #ItemLevel t0 left join t_Item t1 On t0.FNumber1=t1.FNumber  COLLATE Chinese_PRC_CI_AS   AND "
      "t1.FItemClassID=8 AND t0.FItemClassID=t1.FItemClassID ",
      " left join t_Item t2 On t0.FNumber2=t2.FNumber  COLLATE Chinese_PRC_CI_AS   AND t2.FItemClassID=8 AND "
      "t0.FItemClassID=t2.FItemClassID ",
      "",
      "----构建级次SQL:End--",
  });
  ast::Batch batch = ParseBatch(sql);
  ASSERT_EQ(batch.statements.size(), 4u);
  const auto& create = As<ast::CreateTableStmt>(batch.statements[1]);
  ASSERT_EQ(create.columns.size(), 8u);
  EXPECT_EQ(create.columns[1].type.name, "NVARCHAR");
  EXPECT_EQ(create.columns[1].type.arg1, 355);

  const auto& insert = As<ast::InsertStmt>(batch.statements[2]);
  const ast::SelectCore& core = *insert.query->select;
  ASSERT_EQ(core.items.size(), 8u);
  EXPECT_EQ(Dump(*core.items[3].expr),
            "(CASE (WHEN (= (- CHARINDEX('.', FFullNumber) 1) (- 1)) NULL) "
            "(WHEN (= (- CHARINDEX('.', FFullNumber, (+ CHARINDEX('.', FFullNumber) 1)) 1) (- 1)) FNumber) "
            "(ELSE SUBSTRING(FNumber, 1, (- CHARINDEX('.', FFullNumber, (+ CHARINDEX('.', FFullNumber) 1)) 1))))");
  EXPECT_EQ(Dump(*core.where), "(AND (= FItemClassID 8) (IN FItemID [SELECT FSupplyID FROM #AA_Rpt2010002]))");

  const auto& update = As<ast::UpdateStmt>(batch.statements[3]);
  EXPECT_EQ(update.line, 27);
  EXPECT_EQ(update.target, ast::Name{"t0"});
  ASSERT_EQ(update.assignments.size(), 2u);
  EXPECT_EQ(update.assignments[1].column, (ast::Name{"t0", "FName2"}));
  EXPECT_EQ(Dump(*update.assignments[1].value), "t2.FName");
  EXPECT_EQ(Dump(*update.from),
            "{LEFT {LEFT #ItemLevel AS t0 t_Item AS t1 ON (AND (AND (= t0.FNumber1 (COLLATE t1.FNumber "
            "Chinese_PRC_CI_AS)) (= t1.FItemClassID 8)) (= t0.FItemClassID t1.FItemClassID))} t_Item AS t2 ON "
            "(AND (AND (= t0.FNumber2 (COLLATE t2.FNumber Chinese_PRC_CI_AS)) (= t2.FItemClassID 8)) "
            "(= t0.FItemClassID t2.FItemClassID))}");
  EXPECT_EQ(update.where, nullptr);
}

// The grouped summary: the rollup into #TmpResult, the label updates and the final join back.
TEST(ParserReportBatches, RollupPipelineBatches) {
  ast::Batch rollup = ParseBatch(Lines({
      "",
      "IF OBJECT_ID('tempdb..#TmpResult')<>0 DROP TABLE #TmpResult ",
      "Select T1.FSupplyID,T1.FRptID,",
      "Sum(IsNull(T1.FQty,0)) as FQty,Sum(IsNull(T1.FAmountFor,0)) as FAmountFor,",
      "Max(FQtyDecimal) as FQtyDecimal,Max(FPriceDecimal) as FPriceDecimal",
      "   ,CASE ",
      " WHEN Grouping(T1.FSupplyID)=1 THEN 101",
      " WHEN Grouping(T1.FRptID)=1 THEN 102",
      " ELSE 0 END AS FSumSort",
      "",
      "INTO #TmpResult ",
      "From #AA_Rpt2010002 T1 ",
      "Group by T1.FSupplyID,T1.FRptID With RollUp ",
  }));
  ASSERT_EQ(rollup.statements.size(), 2u);
  const auto& select = As<ast::SelectStmt>(rollup.statements[1]);
  EXPECT_EQ(select.line, 3);
  const ast::SelectCore& core = *select.query->select;
  EXPECT_EQ(core.into, ast::Name{"#TmpResult"});
  EXPECT_TRUE(core.with_rollup);
  ASSERT_EQ(core.group_by.size(), 2u);
  ASSERT_EQ(core.items.size(), 7u);
  EXPECT_EQ(core.items[6].alias, "FSumSort");
  EXPECT_EQ(Dump(*core.items[6].expr),
            "(CASE (WHEN (= GROUPING(T1.FSupplyID) 1) 101) (WHEN (= GROUPING(T1.FRptID) 1) 102) (ELSE 0))");

  ast::Batch label = ParseBatch(
      "Update #TmpResult2 Set FSupplyName=ISNULL(FSupplyName,'')+'(合计)' WHERE FSumSort=101\r\n"
      "Update #TmpResult2 Set FSupplyName=ISNULL(FSupplyName,'')+'(小计)' WHERE FSumSort=102\r\n");
  ASSERT_EQ(label.statements.size(), 2u);
  const auto& update = As<ast::UpdateStmt>(label.statements[1]);
  EXPECT_EQ(update.line, 2);
  EXPECT_EQ(update.from, nullptr);
  EXPECT_EQ(Dump(*update.assignments[0].value), "(+ ISNULL(FSupplyName, '') '(小计)')");

  ast::Batch final_select = ParseBatch(Lines({
      "Select tmp2.FSupplyID,tmp2.FSupplyNumber,tmp2.FSupplyName,",
      "apt.FFeeID,apt.FFeeNumber,apt.FFeeName,",
      " Case When tmp2.FSumSort > 0 Then  tmp2.FQty Else apt.FQty End as FQty, ",
      " apt.FChecker,apt.FNote,tmp2.FSumSort",
      "",
      "From #TmpResult2 tmp2 ",
      "Left Join #AA_Rpt2010002 apt On tmp2.FSupplyID = apt.FSupplyID  And  tmp2.FRptID = apt.FRptID",
      " Where tmp2.FSumSort>0 ",
      "IF OBJECT_ID('tempdb..#TmpResult')<>0 DROP TABLE #TmpResult ",
      "IF OBJECT_ID('tempdb..#AA_Rpt2010002')<>0 DROP TABLE #AA_Rpt2010002 ",
  }));
  ASSERT_EQ(final_select.statements.size(), 3u);
  EXPECT_EQ(final_select.statements[2]->line, 10);
}

// Report 2010007's detail batch nests derived tables three deep, with a UNION
// ALL inside; a chain's comment starts on the line of its "(".
TEST(ParserReportBatches, ApplicationTrackingDerivedTables) {
  const std::string app_join = "  Left Join t_ICItem tc On ae.FItemID = tc.FItemID\r\n";
  const std::string chain_from =
      "           From ( Select aa.FBillNo,ae.FID,ae.FEntryID From AA_AssetsApp aa Inner Join AA_AssetsAppEntry ae "
      "On aa.FID = ae.FID \r\n" + app_join + "   WHERE   1=1 \r\n AND (aa.FMultiCheckStatus = 16 )) AA_AssetsApp \r\n";
  const std::string select_line =
      "       Select AA_AssetsApp.FBillNo,AA_AssetsApp.FID,AA_AssetsApp.FEntryID,ce.FFAAmount,IsNull(ce.FCheckQty,0) as "
      "FCheckQty \r\n";
  const std::string sql =
      Lines({"  SELECT aa.FAppDate as FDate,", " Sum(IsNull(cip.FCheckQty,0)) as FRelationAAQty", "  From AA_AssetsApp aa ",
             "  Inner Join AA_AssetsAppEntry ae On aa.FID = ae.FID",
             "  ------------连接领用单的最终源头为资产申请单的记录Begin-------------", "  Left Join (",
             "  Select srcaa.FBillNo,srcaa.FID,srcaa.FEntryID,Sum(IsNull(srcaa.FCheckQty,0)) as FCheckQty From "}) +
      "  (" + "       -----------资产申请单(1200001,AA_AssetsApp)-->资产领用单)--------------\r\n" + select_line +
      chain_from +
      "           Inner Join CIP_AssetsApplicationEntry ce On ce.FID_SRC = AA_AssetsApp.FID And ce.FClassID_SRC=1200001 \r\n"
      "           Inner Join CIP_AssetsApplication ca On ce.FID = ca.FID\r\n"
      "       Union All\r\n" +
      select_line + chain_from +
      "           Inner Join CIP_AssetsApplicationEntry ce On ce.FID_SRC = AA_AssetsApp.FID\r\n" +
      Lines({"       ) srcaa Group By FBillNo,FID,FEntryID ",
             " ) cip On cip.FBillNo = aa.FBillNo And cip.FID = ae.FID And cip.FEntryID Is Not Null ",
             "   ------------连接领用单的最终源头为资产申请单的记录End--------------"}) +
      app_join + "   WHERE   1=1 \r\n" +
      Lines({"  Group By aa.FBillNo,aa.FAppDate,aa.FID,ae.FEntryID "});
  ast::Batch batch = ParseBatch(sql);
  ASSERT_EQ(batch.statements.size(), 1u);
  const ast::SelectCore& core = *As<ast::SelectStmt>(batch.statements[0]).query->select;
  ASSERT_EQ(core.from->kind, ast::TableRefKind::Join);
  const auto& outer = static_cast<const ast::JoinTableRef&>(*core.from);
  EXPECT_EQ(outer.type, ast::JoinType::Left);
  const auto& cip_join = static_cast<const ast::JoinTableRef&>(*outer.left);
  ASSERT_EQ(cip_join.right->kind, ast::TableRefKind::Derived);
  const auto& cip = static_cast<const ast::DerivedTableRef&>(*cip_join.right);
  EXPECT_EQ(cip.alias, "cip");
  EXPECT_EQ(cip.line, 6);
  const ast::SelectCore& cip_core = *cip.query->select;
  EXPECT_EQ(cip_core.group_by.size(), 3u);
  const auto& srcaa = static_cast<const ast::DerivedTableRef&>(*cip_core.from);
  EXPECT_EQ(srcaa.alias, "srcaa");
  ASSERT_EQ(srcaa.query->select, nullptr);
  EXPECT_EQ(srcaa.query->op, ast::SetOp::UnionAll);
  const ast::SelectCore& chain = *srcaa.query->left->select;
  EXPECT_EQ(chain.items[4].alias, "FCheckQty");
  const auto& chain_join = static_cast<const ast::JoinTableRef&>(*chain.from);
  const auto& inner_join = static_cast<const ast::JoinTableRef&>(*chain_join.left);
  const auto& app = static_cast<const ast::DerivedTableRef&>(*inner_join.left);
  EXPECT_EQ(app.alias, "AA_AssetsApp");
  EXPECT_EQ(Dump(*app.query->select->where), "(AND (= 1 1) (= aa.FMultiCheckStatus 16))");
  EXPECT_EQ(core.group_by.size(), 4u);
}

// Requisition lines without an application: the backward chains end in
// "Union All" on the line of their last join, and a sum names "T1. FApplicationLVCBal".
TEST(ParserReportBatches, SourceViewPiecesOfReport2010007) {
  const std::string chain =
      "       Select aaa.FBillNo as FAppBillNo,aaa.FID as FAppFID,CIPApplication.FBillNo,CIPApplication.FID \r\n"
      "           From ( Select ca.FBillNo,ca.FID,ce.FEntryID,ce.FID_SRC From CIP_AssetsApplication ca Inner Join "
      "CIP_AssetsApplicationEntry ce On ce.FID = ca.FID\r\n"
      "  Left Join t_ICItem tc On ce.FItemID = tc.FItemID\r\n  WHERE 1=1 \r\n) CIPApplication \r\n"
      "           Inner Join AA_AssetsAppEntry aae On CIPApplication.FID_SRC = aae.FID  \r\n"
      "           Inner Join AA_AssetsApp aaa On aaa.FID = aae.FID";
  const std::string sql = Lines({
      "  SELECT ca.FDate as FDate, '' as FCloseStatus,",
      "  0 as FAppUseDeptID,'' as FAppDeptNumber",
      "  FROM CIP_AssetsApplication ca",
      "  Inner Join CIP_AssetsApplicationEntry ce On ca.FID = ce.FID",
      "  Left Join (",
      "  Select srcaa.FAppBillNo,srcaa.FBillNo,srcaa.FID From ",
  }) + "  (" + chain + "       Union All\r\n" + chain + "\r\n" + Lines({
      "       ) srcaa",
      " ) delAA  On ca.FBillNo = delAA.FBillNo And ce.FID = delAA.FID  ",
      "  Left Join t_ICItem tc On ce.FItemID = tc.FItemID",
      "  WHERE 1=1 ",
      "  AND delAA.FAppBillNo  Is Null",
  });
  ast::Batch batch = ParseBatch(sql);
  ASSERT_EQ(batch.statements.size(), 1u);
  const ast::SelectCore& core = *As<ast::SelectStmt>(batch.statements[0]).query->select;
  EXPECT_EQ(Dump(*core.where), "(AND (= 1 1) (IS NULL delAA.FAppBillNo))");
  EXPECT_EQ(core.items[2].alias, "FAppUseDeptID");

  ast::Batch sums = ParseBatch(
      "Select T1.FItemID,\r\nSum(IsNull(T1. FApplicationLVCBal,0)) as  FApplicationLVCBal\r\nINTO #TmpResult\r\n"
      "From #AA_Rpt2010007 T1 Group By T1.FItemID With RollUp");
  const ast::SelectCore& sums_core = *As<ast::SelectStmt>(sums.statements[0]).query->select;
  EXPECT_EQ(Dump(*sums_core.items[1].expr), "SUM(ISNULL(T1.FApplicationLVCBal, 0))");
  EXPECT_EQ(sums_core.items[1].expr->line, 2);
  EXPECT_EQ(ParseError("Select Sum(IsNull(T1. FApplicationLVCBal,0)) as  FApplicationLVCBal,\r\nINTO #TmpResult").message(),
            "Incorrect syntax near the keyword 'INTO'.");
}

TEST(ParserReportBatches, DisplayProfileBatches) {
  ast::Batch read = ParseBatch(
      "Select FPlan,FValue From ICReportProfile Where FRptid= 2010001 and FUserID=-5 and FKey='FchkDisEnter'\r\n");
  EXPECT_EQ(Dump(*As<ast::SelectStmt>(read.statements[0]).query->select->where),
            "(AND (AND (= FRptid 2010001) (= FUserID (- 5))) (= FKey 'FchkDisEnter'))");
  ast::Batch write = ParseBatch(Lines({
      "Delete From ICReportProfile Where FRptid= '2010001' and FUserID=16394 and FKey='FchkDisEnter' ",
      "Insert Into ICReportProfile(FRptID,FUserID,FPlan,FKey,FValue,FStatus) ",
      "Values('2010001',16394,'1','FchkDisEnter','1',1  ) ",
  }));
  ASSERT_EQ(write.statements.size(), 2u);
  const auto& insert = As<ast::InsertStmt>(write.statements[1]);
  EXPECT_EQ(insert.columns.size(), 6u);
  ASSERT_EQ(insert.values.size(), 1u);
  EXPECT_EQ(insert.values[0].size(), 6u);
  EXPECT_EQ(Dump(*insert.values[0][0]), "'2010001'");
}

}  // namespace
}  // namespace orv::engine::test
