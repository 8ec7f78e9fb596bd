// The resource loader: translations of every text the reports localize, an
// unknown language failing, reloading only on a change, and Unload.
#include <gtest/gtest.h>

#include "platform/class_registry.h"
#include "platform/resource_loader.h"
#include "tests/platform/platform_test_util.h"

namespace orv::platform {
namespace {

using testing::ErrorOf;

// Every simplified-Chinese text that the reports put into result rows or messages.
const char* const kReportTexts[] = {
    "资产采购普通发票", "资产采购增值税发票", "合计：", "合计:", "合计", "小计", "未关闭", "关闭", "是", "否",
    "仓库", "资产采购", "在建工程", "转固定资产", "转低值易耗品", "指定了太多汇总列，请重新选择汇总方式！",
};

std::shared_ptr<ResourceLoader> NewLoader(const char* language) {
  RegisterResourceLoader();
  auto loader = std::dynamic_pointer_cast<ResourceLoader>(CreateObject("Trevasque.Loader"));
  EXPECT_NE(loader, nullptr);
  loader->SetResFileBaseName("Quensa");
  loader->SetLanguageID(language);
  return loader;
}

TEST(ResourceLoader, EnglishTranslations) {
  auto loader = NewLoader("en");
  EXPECT_EQ(loader->LoadString("小计"), "Subtotal");
  EXPECT_EQ(loader->LoadString("合计"), "Total");
  EXPECT_EQ(loader->LoadString("合计:"), "Total:");
  EXPECT_EQ(loader->LoadString("资产采购增值税发票"), "Asset Purchase VAT Invoice");
  EXPECT_EQ(loader->LoadString("是"), "Yes");
}

TEST(ResourceLoader, TraditionalChineseTranslations) {
  auto loader = NewLoader("cht");
  EXPECT_EQ(loader->LoadString("小计"), "小計");
  EXPECT_EQ(loader->LoadString("合计："), "合計：");
  EXPECT_EQ(loader->LoadString("资产采购"), "資產採購");
  EXPECT_EQ(loader->LoadString("指定了太多汇总列，请重新选择汇总方式！"), "指定了太多匯總列，請重新選擇匯總方式！");
}

TEST(ResourceLoader, EveryReportTextIsTranslatedWithoutQuotes) {
  for (const char* language : {"en", "cht", "EN"}) {
    auto loader = NewLoader(language);
    for (const char* text : kReportTexts) {
      const std::string translation = loader->LoadString(text);
      // Translations are spliced into SQL literals.
      EXPECT_EQ(translation.find('\''), std::string::npos) << language << " " << text;
      if (std::string_view(language) != "cht") {
        EXPECT_NE(translation, text) << language << " " << text;
        for (const char c : translation) EXPECT_EQ(c & 0x80, 0) << "not English: " << translation;
      }
    }
  }
}

TEST(ResourceLoader, UnknownTextComesBackUnknownLanguageRaises) {
  auto loader = NewLoader("en");
  EXPECT_EQ(loader->LoadString("没有的文字"), "没有的文字");
  loader->SetLanguageID("xx");
  EXPECT_NE(ErrorOf([&] { (void)loader->LoadString("小计"); }), 0);
  loader->SetLanguageID("../resources/Quensa.en");  // never leaves the resources folder
  EXPECT_NE(ErrorOf([&] { (void)loader->LoadString("小计"); }), 0);
  loader->SetLanguageID("");
  EXPECT_NE(ErrorOf([&] { (void)loader->LoadString("小计"); }), 0);
  loader->SetLanguageID("en");
  loader->SetResFileBaseName("Nothing");
  EXPECT_NE(ErrorOf([&] { (void)loader->LoadString("小计"); }), 0);
}

TEST(ResourceLoader, ReloadsOnlyAfterAChangeOrUnload) {
  auto loader = NewLoader("en");
  (void)loader->LoadString("小计");
  (void)loader->LoadString("合计");
  EXPECT_EQ(loader->LoadCount(), 1);
  loader->SetLanguageID("en");  // unchanged: keeps the table
  loader->SetResFileBaseName("Quensa");
  (void)loader->LoadString("合计");
  EXPECT_EQ(loader->LoadCount(), 1);
  loader->SetLanguageID("cht");
  EXPECT_EQ(loader->LoadString("合计"), "合計");
  EXPECT_EQ(loader->LoadCount(), 2);
  loader->Unload();
  EXPECT_EQ(loader->LoadString("合计"), "合計");
  EXPECT_EQ(loader->LoadCount(), 3);
  EXPECT_EQ(loader->LanguageID(), "cht");  // Unload keeps the properties
}

}  // namespace
}  // namespace orv::platform
