#!/usr/bin/python3
# The viewer page in a real headless Chromium: log in, fill report 2010002's
# filter dialog (a year, suppliers from one on, grouped by supplier), run it,
# check the filter held, the grid's subtotal and total rows, number formats,
# sorting and column choice, then export CSV and XLSX and read the workbook's
# cells and styles back; open report 2010006 by its address, see the progress
# indicator and nest its subtotals by number levels. Exits 77 (skipped) when
# the browser, its driver or selenium is missing.
# Usage: viewer_page_test.py ORVALENT_BINARY ARTIFACT_DIR
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

SKIP = 77
CHROMIUM = shutil.which("chromium")
DRIVER = shutil.which("chromedriver")
try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.by import By
    from selenium.webdriver.support.ui import Select, WebDriverWait
    import openpyxl
except ImportError as missing:
    print(f"skipped: {missing}")
    sys.exit(SKIP)

BINARY = ARTIFACTS = None


def grouped_thousands(text):
    """'-1234567.50' -> '-1,234,567.50', the way a clerk reads it."""
    sign, digits, fraction = re.fullmatch(r"(-?)(\d+)(\.\d+)?", text).groups()
    return sign + f"{int(digits):,}" + (fraction or "")


class ViewerPageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.mkdtemp(prefix="orvalent-page-")
        users = os.path.join(cls.work, "users")
        subprocess.run([BINARY, "user", "--file", users, "add", "clerk"], input="pa55word\n", text=True, check=True)
        cls.server = subprocess.Popen(
            [BINARY, "serve", "--http", "--listen", "127.0.0.1:0", "--database", "demo-small", "--users", users],
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        line = cls.server.stdout.readline()
        port = re.search(r"127\.0\.0\.1:(\d+)/", line)
        if not port:
            cls.server.kill()
            raise RuntimeError("the server did not start: " + line)
        cls.base = f"http://127.0.0.1:{port.group(1)}/"
        cls.downloads = os.path.join(cls.work, "downloads")
        os.makedirs(cls.downloads)
        options = webdriver.ChromeOptions()
        options.binary_location = CHROMIUM
        for argument in ("--headless=new", "--no-sandbox", "--disable-gpu", "--window-size=1600,1000",
                         "--disable-dev-shm-usage"):
            options.add_argument(argument)
        options.add_experimental_option("prefs", {"download.default_directory": cls.downloads,
                                                  "download.prompt_for_download": False})
        cls.browser = webdriver.Chrome(service=Service(DRIVER), options=options)
        cls.browser.set_page_load_timeout(30)
        cls.wait = WebDriverWait(cls.browser, 30)

    @classmethod
    def tearDownClass(cls):
        cls.browser.quit()
        cls.server.terminate()
        try:
            cls.server.wait(timeout=10)
        except subprocess.TimeoutExpired:
            cls.server.kill()
        shutil.rmtree(cls.work, ignore_errors=True)

    def find(self, selector):
        return self.browser.find_element(By.CSS_SELECTOR, selector)

    def finds(self, selector):
        return self.browser.find_elements(By.CSS_SELECTOR, selector)

    def shot(self, name):
        os.makedirs(ARTIFACTS, exist_ok=True)
        self.browser.save_screenshot(os.path.join(ARTIFACTS, name))

    def download(self, name):
        path = os.path.join(self.downloads, name)
        deadline = time.time() + 30
        while time.time() < deadline:
            if os.path.exists(path) and not os.path.exists(path + ".crdownload") and os.path.getsize(path) > 0:
                return path
            time.sleep(0.2)
        self.fail(f"{name} was not downloaded")

    def test_a_wrong_password_is_refused_then_the_clerk_runs_a_grouped_report(self):
        self.browser.get(self.base)
        self.wait.until(lambda b: not self.find("#login").get_attribute("hidden"))
        Select(self.find("#login-language")).select_by_value("en")
        self.wait.until(lambda b: self.find("#login-button").text == "Log in")
        self.find("#login-user").send_keys("clerk")
        self.find("#login-password").send_keys("wrong")
        self.find("#login-button").click()
        self.wait.until(lambda b: self.find("#login-error").text == "Wrong user name or password")
        self.find("#login-password").clear()
        self.find("#login-password").send_keys("pa55word")
        self.find("#login-button").click()
        self.wait.until(lambda b: len(self.finds("#report-list button")) == 5)
        self.finds("#report-list button")[1].click()
        self.wait.until(lambda b: self.find("#report-title").text.startswith("2010002"))
        # The dialog came from the schema: date pickers, a choice and the grouping options in English.
        self.assertEqual(self.find("input[name=FStartDate]").get_attribute("type"), "date")
        # Left as it opens, the audit status selects every invoice, as the absent key does.
        audit = Select(self.find("select[name=FBillStatus]"))
        self.assertEqual(audit.first_selected_option.text, "All")
        self.assertEqual([option.text for option in audit.options][1:], ["Audited", "Being checked", "All"])
        grouping = Select(self.find("select[name=grouping-single]"))
        self.assertIn("By supplier", [option.text for option in grouping.options])
        grouping.select_by_value("FGroupBySupply")
        # Filtered to the invoices of 2024 from supplier 01.01.002 on (the date pickers' typed form
        # follows the browser's locale, so their values are set as the picker would set them).
        for name, day in (("FStartDate", "2024-01-01"), ("FEndDate", "2024-12-31")):
            self.browser.execute_script("arguments[0].value = arguments[1]", self.find(f"input[name={name}]"), day)
        self.find("input[name=FSupplyFrom]").send_keys("01.01.002")
        self.find("#run-button").click()
        self.wait.until(lambda b: self.finds("#grid tbody tr.total"))
        self.shot("grid-2010002-grouped.png")
        filtered = self.browser.execute_script("return state.result")
        columns = [column["name"] for column in filtered["columns"]]
        lines = [row["cells"] for row in filtered["rows"] if row["kind"] == "detail"]
        self.assertTrue(lines)
        self.assertTrue(all("2024-01-01" <= cells[columns.index("FDate")][:10] <= "2024-12-31" for cells in lines))
        self.assertTrue(all(cells[columns.index("FSupplyNumber")] >= "01.01.002" for cells in lines))

        # Every supplier closes with a subtotal row, indented by its level; one total row ends the grid.
        subtotals = self.finds("#grid tbody tr.subtotal")
        self.assertGreater(len(subtotals), 1)
        self.assertEqual(subtotals[0].get_attribute("data-level"), "1")
        first_cell = subtotals[0].find_element(By.CSS_SELECTOR, "td")
        self.assertEqual(first_cell.value_of_css_property("padding-left"), "23.8px")  # (0.5 + 1 * 1.2) em of 14 px
        self.assertEqual(first_cell.value_of_css_property("font-weight"), "700")
        self.assertEqual(len(self.finds("#grid tbody tr.total")), 1)
        rows = self.finds("#grid tbody tr")
        self.assertEqual(rows[-1].get_attribute("class"), "total")
        # Captions in English, internal columns left out.
        headers = [th.text for th in self.finds("#grid thead th")]
        self.assertEqual(headers[0], "Supplier Number")
        self.assertIn("Amount (Original Currency)", headers)
        self.assertFalse([h for h in headers if h in ("FSumSort", "FQtyDecimal", "FPriceDecimal")])
        # Numbers keep the server's rounding and gain thousands separators.
        result = self.browser.execute_script("return state.result")
        amount = headers.index("Amount (Original Currency)")
        raw_total = result["rows"][-1]["cells"][amount]
        shown_total = rows[-1].find_elements(By.CSS_SELECTOR, "td")[amount].text
        self.assertEqual(shown_total, grouped_thousands(raw_total))
        self.assertGreater(float(raw_total), 1000)  # so a separator is really shown
        self.assertIn(",", shown_total)

        # Sorting by price orders the first supplier's lines and keeps its subtotal after them.
        price = headers.index("Price")
        self.finds("#grid thead th")[price].click()
        self.wait.until(lambda b: self.find("#grid thead th.sorted-asc"))
        first_run = []
        for row in self.finds("#grid tbody tr"):
            if row.get_attribute("class") != "detail":
                break
            first_run.append(float(row.find_elements(By.CSS_SELECTOR, "td")[price].text.replace(",", "") or 0))
        self.assertEqual(first_run, sorted(first_run))
        # Hiding a column takes it out of the grid and of the exports.
        self.find("#column-choice summary").click()
        self.find("#column-boxes input[data-column=FNote]").click()
        self.wait.until(lambda b: len(self.finds("#grid thead th")) == len(headers) - 1)
        shown_headers = [th.text for th in self.finds("#grid thead th")]
        self.shot("grid-2010002-sorted.png")

        self.find("#export-csv").click()
        with open(self.download("2010002.csv"), "rb") as csv_file:
            csv_bytes = csv_file.read()
        self.assertTrue(csv_bytes.startswith(b"\xef\xbb\xbf"))
        self.assertEqual(csv_bytes[3:].decode("utf-8").split("\r\n")[0].split(",")[0], "Supplier Number")

        self.find("#export-xlsx").click()
        book = openpyxl.load_workbook(self.download("2010002.xlsx"))
        sheet = book.active
        self.assertEqual([cell.value for cell in sheet[1]], shown_headers)
        self.assertTrue(sheet.cell(1, 1).font.b)
        kinds = [row.get_attribute("class") for row in self.finds("#grid tbody tr")]
        self.assertEqual(sheet.max_row, len(kinds) + 1)
        first_subtotal = kinds.index("subtotal") + 2
        subtotal_cell = sheet.cell(first_subtotal, 1)
        self.assertTrue(subtotal_cell.font.b)
        self.assertEqual(subtotal_cell.fill.fgColor.rgb, "FFFFF2CC")
        self.assertEqual(subtotal_cell.alignment.indent, 1)
        total_amount = sheet.cell(sheet.max_row, amount + 1)
        self.assertEqual(total_amount.value, float(raw_total))
        decimals = len(raw_total.split(".")[1]) if "." in raw_total else 0
        self.assertEqual(total_amount.number_format, "#,##0" + ("." + "0" * decimals if decimals else ""))
        self.assertEqual(sheet.cell(sheet.max_row, 1).fill.fgColor.rgb, "FFDDEBF7")

    def test_b_the_page_speaks_traditional_chinese(self):
        Select(self.find("#app-language")).select_by_value("cht")
        self.wait.until(lambda b: self.find("#run-button").text == "查詢")
        self.assertEqual(self.find("#logout-button").text, "退出")
        self.shot("dialog-cht.png")

    def test_c_a_reports_address_opens_its_dialog_shows_progress_and_nests_level_subtotals(self):
        Select(self.find("#app-language")).select_by_value("en")
        self.wait.until(lambda b: self.find("#run-button").text == "Run")
        self.browser.get(self.base + "#2010006")
        self.wait.until(lambda b: self.find("#report-title").text.startswith("2010006"))
        # Grouped by using department, with the department numbers' levels 1 to 2 above it.
        Select(self.find("select[name=grouping-0]")).select_by_value("FGroupByUseDept")
        self.find("input[name=FChkLevel]").click()
        self.find("input[name=FLvlFrom]").send_keys("1")
        self.find("input[name=FLvlTo]").send_keys("2")
        # The run's answer is held back a moment, so the progress indicator can be seen while it waits.
        self.browser.execute_script("""
            const original = window.fetch;
            window.fetch = (path, options) => String(path).endsWith("/run")
                ? new Promise((resolve) => setTimeout(resolve, 1500)).then(() => original(path, options))
                : original(path, options);""")
        self.find("#run-button").click()
        self.wait.until(lambda b: self.find("#progress").is_displayed())
        self.assertTrue(self.find("#progress-text").text.startswith("Running"))
        self.assertFalse(self.find("#run-button").is_enabled())
        self.wait.until(lambda b: self.finds("#grid tbody tr"))
        self.assertFalse(self.find("#progress").is_displayed())
        self.assertTrue(self.find("#run-button").is_enabled())
        # The grid takes 500 rows at a time; the rest come on request.
        count = self.browser.execute_script("return state.result.rows.length")
        self.assertGreater(count, 500)
        self.assertEqual(len(self.finds("#grid tbody tr")), 500)
        self.assertEqual(self.find("#more-rows").text, f"Show more rows (500 / {count} shown)")
        self.find("#more-rows").click()
        self.wait.until(lambda b: len(self.finds("#grid tbody tr")) == count)
        self.assertEqual(self.finds("#grid tbody tr")[-1].get_attribute("class"), "total")
        self.assertFalse(self.find("#more-rows").is_displayed())
        self.browser.execute_script(
            "document.querySelector('#grid tr.subtotal[data-level=\"2\"]').scrollIntoView({block: 'center'})")
        self.shot("grid-2010006-levels.png")
        result = self.browser.execute_script("return state.result")
        names = [column["name"] for column in result["columns"]]
        details = [row["cells"] for row in result["rows"] if row["kind"] == "detail"]
        subtotals = [row["level"] for row in result["rows"] if row["kind"] == "subtotal"]
        # One subtotal per level-1 group, per level-2 group and per department that has lines.
        for level, column in ((1, "FName1"), (2, "FName2"), (3, "FUseDeptNumber")):
            distinct = {cells[names.index(column)] for cells in details}
            self.assertEqual(subtotals.count(level), len(distinct), column)
        self.assertEqual(set(subtotals), {1, 2, 3})
        # Deeper subtotals sit further in.
        pads = {}
        for row in self.finds("#grid tbody tr.subtotal"):
            pads[row.get_attribute("data-level")] = row.find_element(By.CSS_SELECTOR, "td").value_of_css_property(
                "padding-left")
        self.assertLess(float(pads["1"][:-2]), float(pads["2"][:-2]))
        self.assertLess(float(pads["2"][:-2]), float(pads["3"][:-2]))


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: viewer_page_test.py ORVALENT_BINARY ARTIFACT_DIR")
    BINARY, ARTIFACTS = sys.argv[1], sys.argv[2]
    if not CHROMIUM or not DRIVER:
        print("skipped: chromium or chromedriver is not installed")
        sys.exit(SKIP)
    outcome = unittest.main(argv=sys.argv[:1], exit=False, verbosity=2).result
    sys.exit(0 if outcome.wasSuccessful() else 1)
