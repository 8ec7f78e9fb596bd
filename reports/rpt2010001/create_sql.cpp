// GetCreateSQL of the purchase invoice report: the temporary table that holds
// the invoice lines and the total row, in the column order of the result.
#include "reports/rpt2010001/sql_routines.h"
#include "toolkit/sql_text.h"

namespace orv::reports::rpt2010001 {

using toolkit::AppendLine;

void GetCreateSQL(platform::SqlBuffer& buffer, const std::string& table) {
  AppendLine(buffer, "--创建临时表 ");
  AppendLine(buffer, "SET NOCOUNT ON ");
  AppendLine(buffer, "Create Table " + table + "(");
  AppendLine(buffer, "FDate          DATETIME,                              ");
  AppendLine(buffer, "FFinDate       DATETIME,                              ");
  AppendLine(buffer, "FInvoiceType   NVARCHAR(255) NOT NULL DEFAULT(''),    ");
  AppendLine(buffer, "FInvoiceNumber NVARCHAR(255) NOT NULL DEFAULT(''),    ");
  AppendLine(buffer, "FSupplyNumber  NVARCHAR(255) NOT NULL DEFAULT(''),    ");
  AppendLine(buffer, "FSupplyName    NVARCHAR(255) NOT NULL DEFAULT(''),    ");
  AppendLine(buffer, "FItemNumber    NVARCHAR(255) NOT NULL DEFAULT(''),    ");
  AppendLine(buffer, "FItemName      NVARCHAR(255) NOT NULL DEFAULT(''),    ");
  AppendLine(buffer, "FModel         NVARCHAR(255) NOT NULL DEFAULT(''),    ");
  AppendLine(buffer, "FAuxPropertyID NVARCHAR(255) NOT NULL DEFAULT(''),    ");
  AppendLine(buffer, "FCurrencyID    NVARCHAR(255) NOT NULL DEFAULT(''),    ");
  AppendLine(buffer, "FUnitID        NVARCHAR(255) NOT NULL DEFAULT(''),    ");
  AppendLine(buffer, "FQty           DECIMAL(23,10),    ");
  AppendLine(buffer, "FPrice         DECIMAL(23,10),    ");
  AppendLine(buffer, "FBaseUnitID    NVARCHAR(255) NOT NULL DEFAULT(''),    ");
  AppendLine(buffer, "FBaseQty       DECIMAL(23,10),    ");
  AppendLine(buffer, "FBasePrice     DECIMAL(23,10),    ");
  AppendLine(buffer, "FComUnitID     NVARCHAR(255) NOT NULL DEFAULT(''),    ");
  AppendLine(buffer, "FComQty        DECIMAL(23,10),    ");
  AppendLine(buffer, "FComPrice      DECIMAL(23,10),    ");
  AppendLine(buffer, "FAmount        DECIMAL(23,10),    ");
  AppendLine(buffer, "FTaxRate       DECIMAL(23,10),    ");
  AppendLine(buffer, "FTaxAmt        DECIMAL(23,10),    ");
  AppendLine(buffer, "FTotalAmt      DECIMAL(23,10),    ");
  AppendLine(buffer, "FTotalAmtFor   DECIMAL(23,10),    ");
  AppendLine(buffer, "FChecker       NVARCHAR(255) NOT NULL DEFAULT(''),    ");
  AppendLine(buffer, "FNote          NVARCHAR(255) NOT NULL DEFAULT(''),    ");
  AppendLine(buffer, "FSumSort       SMALLINT NOT NULL DEFAULT(0),          ");
  AppendLine(buffer, "FCurrencyDecimal    SMALLINT DEFAULT(0),                   ");
  AppendLine(buffer, "FQtyDecimal    SMALLINT DEFAULT(0),                   ");
  AppendLine(buffer, "FPriceDecimal  SMALLINT DEFAULT(0)                    ");
  AppendLine(buffer, ")");
}

}  // namespace orv::reports::rpt2010001
