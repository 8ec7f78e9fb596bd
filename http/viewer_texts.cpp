// One loader per language, read once and kept: the tables are small and the
// service answers from many threads, while a loader object is not shared
// between threads without the lock.
#include "http/viewer_texts.h"

#include <map>
#include <mutex>
#include <utility>

#include "platform/automation_error.h"
#include "platform/resource_loader.h"

namespace orv::http {
namespace {

constexpr std::string_view kTableName = "OrvalentViewer";

constexpr std::pair<std::string_view, std::string_view> kPageTexts[] = {
    {"appTitle", "资产采购报表"},
    {"user", "用户名"},
    {"password", "密码"},
    {"language", "语言"},
    {"login", "登录"},
    {"logout", "退出"},
    {"loginFailed", "用户名或密码错误"},
    {"loginThrottled", "登录失败次数过多，请稍后再试"},
    {"sessionEnded", "登录已过期，请重新登录"},
    {"reports", "报表"},
    {"filter", "过滤条件"},
    {"grouping", "汇总方式"},
    {"groupLevel", "第{0}组"},
    {"none", "无"},
    {"from", "从"},
    {"to", "至"},
    {"run", "查询"},
    {"running", "正在查询"},
    {"seconds", "{0} 秒"},
    {"rowCount", "共 {0} 行"},
    {"moreRows", "显示更多行（已显示 {0}）"},
    {"noRows", "没有符合条件的数据"},
    {"columns", "显示列"},
    {"exportCsv", "导出 CSV"},
    {"exportXlsx", "导出 Excel"},
    {"busy", "服务器正忙，请稍后再试"},
    {"failed", "查询失败"},
    {"badConditions", "过滤条件有误"},
    {"subtotal", "小计"},
    {"total", "合计"},
    {"sortHint", "点击列标题排序"},
    {"chooseReport", "请选择报表"},
    {"tooManyRows", "结果超过 {0} 行，请缩小过滤条件"},
};

platform::ResourceLoader& LoaderFor(std::map<std::string, platform::ResourceLoader, std::less<>>& loaders,
                                    std::string_view language) {
  auto found = loaders.find(language);
  if (found == loaders.end()) {
    found = loaders.emplace(std::string(language), platform::ResourceLoader()).first;
    found->second.SetResFileBaseName(kTableName);
    found->second.SetLanguageID(language);
  }
  return found->second;
}

}  // namespace

bool IsViewerLanguage(std::string_view language) { return language == "chs" || language == "cht" || language == "en"; }

std::string ViewerText(std::string_view text, std::string_view language) {
  if (!IsViewerLanguage(language) || language == "chs") return std::string(text);
  static std::mutex mutex;
  static std::map<std::string, platform::ResourceLoader, std::less<>> loaders;
  const std::lock_guard lock(mutex);
  try {
    return LoaderFor(loaders, language).LoadString(text);
  } catch (const platform::AutomationError&) {
    return std::string(text);
  }
}

nlohmann::json ViewerTexts(std::string_view language) {
  nlohmann::json texts = nlohmann::json::object();
  for (const auto& [name, text] : kPageTexts) texts[std::string(name)] = ViewerText(text, language);
  return texts;
}

}  // namespace orv::http
