// The report viewer's behaviour: logs in, builds each report's filter dialog
// from its condition schema, runs it, and shows the result in a grid that
// sorts and hides columns on the client the way the exports do.
"use strict";

// Rows put into the grid at a time: a large result stays responsive, and the
// exports still hold every row.
const GRID_PAGE_ROWS = 500;
const state = { texts: {}, language: "chs", csrf: "", report: null, run: null, result: null,
                sort: null, descending: false, hidden: new Set(), rowLimit: GRID_PAGE_ROWS };
const $ = (id) => document.getElementById(id);
const LANGUAGES = [["chs", "简体中文"], ["cht", "繁體中文"], ["en", "English"]];

function text(name, value) {
  const template = state.texts[name] || name;
  return value === undefined ? template : template.replace("{0}", value);
}

async function api(method, path, body) {
  const headers = { "X-Orvalent-Csrf": state.csrf };
  if (body !== undefined) headers["Content-Type"] = "application/json";
  const response = await fetch(path, { method, headers, credentials: "same-origin",
                                       body: body === undefined ? undefined : JSON.stringify(body) });
  const reply = await response.json().catch(() => ({}));
  if (response.status === 401 && path !== "/api/login") showLogin(reply.error);
  if (!response.ok) throw Object.assign(new Error(reply.error || response.statusText), { reply });
  return reply;
}

async function loadTexts(language) {
  const reply = await api("GET", "/api/texts?language=" + encodeURIComponent(language));
  state.texts = reply.texts;
  state.language = reply.language;
  document.documentElement.lang = { chs: "zh-CN", cht: "zh-TW", en: "en" }[state.language];
  for (const element of document.querySelectorAll("[data-text]")) element.textContent = text(element.dataset.text);
  for (const select of document.querySelectorAll(".language-choice")) select.value = state.language;
}

function showLogin(message) {
  $("app").hidden = true;
  $("login").hidden = false;
  $("login-error").textContent = message || "";
}

async function showApp(session) {
  state.csrf = session.csrf;
  $("user-name").textContent = session.user;
  await loadTexts(session.language);
  $("login").hidden = true;
  $("app").hidden = false;
  const list = await api("GET", "/api/reports");
  const nav = $("report-list");
  nav.replaceChildren();
  for (const report of list) {
    const button = document.createElement("button");
    button.type = "button";
    button.dataset.report = report.number;
    button.textContent = report.number + " " + report.title;
    button.addEventListener("click", () => openReport(report.number));
    nav.append(button);
  }
  // Each report has its own address (#2010006), for a bookmark or a link.
  const wanted = state.report ? state.report.number : location.hash.slice(1);
  if (list.some((report) => report.number === wanted)) await openReport(wanted);
}

function field(label, input) {
  const wrapper = document.createElement("label");
  const caption = document.createElement("span");
  caption.textContent = label;
  wrapper.append(caption, input);
  return wrapper;
}

function conditionInput(condition) {
  let input;
  if (condition.type === "choice") {
    input = document.createElement("select");
    for (const choice of condition.choices) input.add(new Option(choice.label, String(choice.value)));
    // A default outside the choices (an absent key) does what every other value does.
    if (!condition.choices.some((choice) => String(choice.value) === condition.default)) {
      input.add(new Option(condition.other_label || condition.default, condition.default), 0);
    }
    input.value = condition.default;
  } else if (condition.type === "flag") {
    input = document.createElement("input");
    input.type = "checkbox";
    input.checked = Number(condition.default) > 0;
  } else {
    input = document.createElement("input");
    input.type = { date: "date", integer: "number" }[condition.type] || "text";
    input.value = condition.type === "integer" && condition.default === "0" ? "" : condition.default;
  }
  input.name = condition.key;
  input.dataset.type = condition.type;
  input.title = condition.meaning;
  return input;
}

// A range's two keys ("...From"/"...To", "...BeginDate"/"...EndDate") sit side by side.
function buildFilter(dialog) {
  const fields = $("filter-fields");
  fields.replaceChildren(fields.querySelector("legend"));
  const grouped = new Set();
  if (dialog.grouping) {
    if (dialog.grouping.mode === "single") {
      grouped.add(dialog.grouping.switch);
      for (const option of dialog.grouping.options) grouped.add(option.key);
    } else {
      for (const key of dialog.grouping.keys) grouped.add(key);
    }
  }
  let range = null;
  for (const condition of dialog.conditions) {
    if (grouped.has(condition.key)) continue;
    const element = field(condition.label, conditionInput(condition));
    if (/(From|Begin|Start)(Date)?$/.test(condition.key)) {
      range = document.createElement("div");
      range.className = "range";
      range.append(element);
      fields.append(range);
      element.querySelector("span").textContent = condition.label + " " + text("from");
      continue;
    }
    if (range && /(To|End)(Date)?$/.test(condition.key)) {
      element.querySelector("span").textContent = text("to");
      range.append(element);
      range = null;
      continue;
    }
    range = null;
    fields.append(element);
  }
  buildGrouping(dialog);
}

function groupingSelect(name, options) {
  const select = document.createElement("select");
  select.name = name;
  select.add(new Option(text("none"), ""));
  for (const [value, label] of options) select.add(new Option(label, value));
  return select;
}

function buildGrouping(dialog) {
  const fields = $("grouping-fields");
  fields.replaceChildren(fields.querySelector("legend"));
  fields.hidden = !dialog.grouping;
  if (!dialog.grouping) return;
  const labelOf = (key) => (dialog.conditions.find((c) => c.key === key) || { label: key }).label;
  if (dialog.grouping.mode === "single") {
    const options = dialog.grouping.options.map((option) => [option.key, option.label]);
    fields.append(field(labelOf(dialog.grouping.switch), groupingSelect("grouping-single", options)));
  } else {
    const options = dialog.grouping.keys.map((key) => [key, labelOf(key)]);
    dialog.grouping.keys.forEach((key, position) => {
      fields.append(field(text("groupLevel", position + 1), groupingSelect("grouping-" + position, options)));
    });
  }
}

// The dialog's values as the report reads them: empty boxes are left out so
// the report takes its own default.
function conditionsOf(dialog) {
  const conditions = {};
  for (const input of $("filter-fields").querySelectorAll("[data-type]")) {
    if (input.dataset.type === "flag") {
      conditions[input.name] = input.checked ? 1 : 0;
    } else if (input.value !== "") {
      const numeric = input.dataset.type === "choice" || input.dataset.type === "integer";
      conditions[input.name] = numeric ? Number(input.value) : input.value;
    }
  }
  if (dialog.grouping && dialog.grouping.mode === "single") {
    const chosen = $("grouping-fields").querySelector("select").value;
    const option = dialog.grouping.options.find((o) => o.key === chosen);
    conditions[dialog.grouping.switch] = option ? 1 : 0;
    if (option) conditions[option.key] = option.value;
  } else if (dialog.grouping) {
    let position = 0;
    for (const select of $("grouping-fields").querySelectorAll("select")) {
      if (select.value !== "" && !(select.value in conditions)) conditions[select.value] = position++;
    }
  }
  return conditions;
}

async function openReport(number) {
  const dialog = await api("GET", "/api/reports/" + encodeURIComponent(number));
  state.report = dialog;
  if (location.hash !== "#" + number) history.replaceState(null, "", "#" + number);
  for (const button of $("report-list").children) button.classList.toggle("current", button.dataset.report === number);
  $("report-title").textContent = dialog.number + " " + dialog.title;
  buildFilter(dialog);
  $("filter-form").hidden = false;
  showResult(null, null);
}

async function runReport(event) {
  event.preventDefault();
  const started = Date.now();
  const tick = () => { $("progress-text").textContent = text("running") + " " + text("seconds", Math.floor((Date.now() - started) / 1000)); };
  tick();
  const timer = setInterval(tick, 250);
  $("progress").hidden = false;
  $("run-button").disabled = true;
  $("run-error").textContent = "";
  try {
    const reply = await api("POST", "/api/reports/" + state.report.number + "/run",
                            { conditions: conditionsOf(state.report) });
    showResult(reply.run, reply.result);
  } catch (error) {
    const issues = (error.reply && error.reply.issues) || [];
    $("run-error").textContent = [error.message, ...issues.map((i) => i.key + ": " + i.message)].join(" — ");
    showResult(null, null);
  } finally {
    clearInterval(timer);
    $("progress").hidden = true;
    $("run-button").disabled = false;
  }
}

// "-1234567.50" -> "-1,234,567.50": the decimals stay as the server rounded them.
function formatNumber(value) {
  const match = /^(-?)(\d+)(\.\d+)?$/.exec(value);
  if (!match) return value;
  return match[1] + match[2].replace(/\B(?=(\d{3})+(?!\d))/g, ",") + (match[3] || "");
}

function compareCells(a, b, numeric) {
  if (a === null || b === null) return (a === null ? 0 : 1) - (b === null ? 0 : 1);
  if (numeric) return Number(a) - Number(b);
  return a < b ? -1 : a > b ? 1 : 0;
}

// Detail rows sort between the summary rows that close them; summaries stay put.
function rowOrder(result) {
  const order = result.rows.map((_, index) => index);
  if (state.sort === null) return order;
  const numeric = result.columns[state.sort].numeric;
  const sign = state.descending ? -1 : 1;
  let start = 0;
  while (start < order.length) {
    let end = start;
    while (end < order.length && result.rows[end].kind === "detail") end++;
    const run = order.slice(start, end).sort((x, y) =>
      sign * compareCells(result.rows[x].cells[state.sort], result.rows[y].cells[state.sort], numeric) || x - y);
    order.splice(start, run.length, ...run);
    start = end + 1;
  }
  return order;
}

function visibleColumns() {
  return state.result.columns.map((_, index) => index).filter((index) => !state.hidden.has(index));
}

function renderGrid() {
  const result = state.result;
  const head = document.createElement("tr");
  const shown = visibleColumns();
  for (const index of shown) {
    const th = document.createElement("th");
    th.textContent = result.columns[index].caption;
    th.title = result.columns[index].name + " — " + text("sortHint");
    if (state.sort === index) th.className = state.descending ? "sorted-desc" : "sorted-asc";
    th.addEventListener("click", () => {
      state.descending = state.sort === index && !state.descending;
      state.sort = index;
      renderGrid();
    });
    head.append(th);
  }
  $("grid").tHead.replaceChildren(head);
  const body = document.createDocumentFragment();
  const order = rowOrder(result);
  for (const rowIndex of order.slice(0, state.rowLimit)) {
    const row = result.rows[rowIndex];
    const tr = document.createElement("tr");
    tr.className = row.kind;
    tr.dataset.level = row.level;
    shown.forEach((index, position) => {
      const td = document.createElement("td");
      const value = row.cells[index];
      const numeric = result.columns[index].numeric;
      td.textContent = value === null ? "" : numeric ? formatNumber(value) : value;
      if (numeric) td.className = "number";
      if (position === 0 && row.kind === "subtotal") td.style.paddingLeft = (0.5 + row.level * 1.2) + "em";
      tr.append(td);
    });
    body.append(tr);
  }
  $("grid").tBodies[0].replaceChildren(body);
  const more = $("more-rows");
  more.hidden = order.length <= state.rowLimit;
  more.textContent = text("moreRows", Math.min(state.rowLimit, order.length) + " / " + order.length);
}

function buildColumnChoice() {
  const boxes = $("column-boxes");
  boxes.replaceChildren();
  state.result.columns.forEach((column, index) => {
    const box = document.createElement("input");
    box.type = "checkbox";
    box.checked = !state.hidden.has(index);
    box.dataset.column = column.name;
    box.addEventListener("change", () => {
      if (box.checked) state.hidden.delete(index); else state.hidden.add(index);
      renderGrid();
    });
    const label = document.createElement("label");
    label.append(box, " " + column.caption);
    boxes.append(label);
  });
}

function showResult(run, result) {
  state.run = run;
  state.result = result;
  state.sort = null;
  state.descending = false;
  state.hidden = new Set();
  state.rowLimit = GRID_PAGE_ROWS;
  $("more-rows").hidden = true;
  $("export-csv").disabled = $("export-xlsx").disabled = !run;
  $("column-choice").hidden = !result;
  $("row-count").textContent = result ? (result.rows.length ? text("rowCount", result.rows.length) : text("noRows")) : "";
  if (!result) {
    $("grid").tHead.replaceChildren();
    $("grid").tBodies[0].replaceChildren();
    return;
  }
  buildColumnChoice();
  renderGrid();
}

function exportRun(format) {
  const query = new URLSearchParams({ format, columns: visibleColumns().join(",") });
  if (state.sort !== null) query.set("sort", state.sort);
  if (state.descending) query.set("desc", "1");
  const link = document.createElement("a");
  link.href = "/api/runs/" + state.run + "/export?" + query;
  link.download = state.report.number + "." + format;
  document.body.append(link);
  link.click();
  link.remove();
}

async function login(event) {
  event.preventDefault();
  try {
    const session = await api("POST", "/api/login", { user: $("login-user").value, password: $("login-password").value,
                                                      language: $("login-language").value });
    $("login-password").value = "";
    await showApp(session);
  } catch (error) {
    $("login-error").textContent = error.message;
  }
}

async function changeLanguage(language) {
  if ($("app").hidden) return loadTexts(language);
  await api("POST", "/api/language", { language });
  const session = await api("GET", "/api/session");
  await showApp(session);
}

async function start() {
  for (const select of document.querySelectorAll(".language-choice")) {
    for (const [value, label] of LANGUAGES) select.add(new Option(label, value));
    select.addEventListener("change", () => changeLanguage(select.value));
  }
  $("login-form").addEventListener("submit", login);
  $("filter-form").addEventListener("submit", runReport);
  $("logout-button").addEventListener("click", async () => {
    await api("POST", "/api/logout", {});
    state.report = null;
    showLogin("");
  });
  $("export-csv").addEventListener("click", () => exportRun("csv"));
  $("export-xlsx").addEventListener("click", () => exportRun("xlsx"));
  $("more-rows").addEventListener("click", () => {
    state.rowLimit += GRID_PAGE_ROWS;
    renderGrid();
  });
  window.addEventListener("hashchange", () => {
    const number = location.hash.slice(1);
    if (!$("app").hidden && $("report-list").querySelector(`[data-report="${CSS.escape(number)}"]`)) openReport(number);
  });
  try {
    await showApp(await api("GET", "/api/session"));
  } catch (error) {
    await loadTexts(navigator.language.startsWith("zh-T") ? "cht" : navigator.language.startsWith("en") ? "en" : "chs");
    showLogin("");
  }
}

start();
