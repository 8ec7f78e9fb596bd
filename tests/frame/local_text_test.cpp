// GetLocalText: the exact "chs" shortcut, every other language through the
// thread's loader with the trimmed text as key, the silent fallback, the
// caller's pending error kept, and a new loader after a session parser dies.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include <unistd.h>

#include "frame/cparse.h"
#include "platform/class_registry.h"
#include "platform/err_object.h"
#include "platform/resource_loader.h"
#include "platform/thread_loader.h"
#include "toolkit/local_text.h"

namespace orv::toolkit {
namespace {

class LocalTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::RegisterPlatformClasses();
    directory_ = std::filesystem::temp_directory_path() / ("orv_local_text_" + std::to_string(::getpid()));
    std::filesystem::create_directories(directory_);
    // The loader reads the language in lower case: "CHS" finds this table.
    std::ofstream(directory_ / "Quensa.chs.json") << R"json({"小计": "Subtotal (loader)"})json";
    std::ofstream(directory_ / "Quensa.en.json") << R"({"合计": "Total"})";
    ::setenv("ORV_RESOURCE_DIR", directory_.c_str(), 1);
    // Count the loaders made and keep the last one in view.
    platform::ClassEntry entry = *platform::ClassRegistry::Instance().Find(platform::kResourceLoaderProgId);
    entry.factory = [this] {
      ++created_;
      auto loader = std::make_shared<platform::ResourceLoader>();
      last_ = loader;
      return loader;
    };
    platform::ClassRegistry::Instance().Register(entry);
    platform::ReleaseThreadLoader();
    platform::Err().Clear();
  }

  void TearDown() override {
    platform::ReleaseThreadLoader();
    platform::RegisterPlatformClasses();
    ::unsetenv("ORV_RESOURCE_DIR");
    std::filesystem::remove_all(directory_);
    platform::Err().Clear();
  }

  std::filesystem::path directory_;
  int created_ = 0;
  std::weak_ptr<platform::ResourceLoader> last_;
};

TEST_F(LocalTextTest, ChsReturnsTheTextByteForByteButStillSetsUpTheLoader) {
  EXPECT_EQ(GetLocalText(" 小计 ", "chs"), " 小计 ");
  ASSERT_EQ(created_, 1);
  const auto loader = last_.lock();
  ASSERT_TRUE(loader);
  EXPECT_EQ(loader->ResFileBaseName(), "Quensa");
  EXPECT_EQ(loader->LanguageID(), "chs");
  EXPECT_EQ(loader->LoadCount(), 0);  // the shortcut never asks the loader for a text
}

TEST_F(LocalTextTest, CapitalChsGoesToTheLoaderWithTheTrimmedText) {
  EXPECT_EQ(GetLocalText("  小计  ", "CHS"), "Subtotal (loader)");
  EXPECT_EQ(GetLocalText("合计", "en"), "Total");
  // One loader per thread, following the last language asked for.
  EXPECT_EQ(created_, 1);
  EXPECT_EQ(last_.lock()->LanguageID(), "en");
}

TEST_F(LocalTextTest, UnknownTextComesBackAsTheLoaderGivesIt) {
  EXPECT_EQ(GetLocalText(" 未关闭 ", "en"), "未关闭");
}

TEST_F(LocalTextTest, FailureReturnsTheUntrimmedTextSilently) {
  EXPECT_EQ(GetLocalText(" 合计 ", "xx"), " 合计 ");
  EXPECT_EQ(GetLocalText(" 合计 ", "../en"), " 合计 ");
  EXPECT_FALSE(platform::Err().IsSet());
  platform::ClassRegistry::Instance().Unregister(platform::kResourceLoaderProgId);
  platform::ReleaseThreadLoader();
  EXPECT_EQ(GetLocalText(" 合计 ", "en"), " 合计 ");
  EXPECT_FALSE(platform::Err().IsSet());
}

TEST_F(LocalTextTest, ACallersPendingErrorSurvivesTheCall) {
  platform::ErrObject& err = platform::Err();
  err.SetNumber(static_cast<int32_t>(0x80040E14));
  err.SetSource("Orvalent.CRPT2010005.GetstrSQL");
  err.SetDescription("Incorrect syntax near 'X'.");
  err.SetHelpFile("help.chm");
  err.SetHelpContext(42);
  EXPECT_EQ(GetLocalText("合计", "xx"), "合计");  // fails inside
  EXPECT_EQ(GetLocalText("合计", "en"), "Total");  // succeeds
  EXPECT_EQ(err.Number(), static_cast<int32_t>(0x80040E14));
  EXPECT_EQ(err.Source(), "Orvalent.CRPT2010005.GetstrSQL");
  EXPECT_EQ(err.Description(), "Incorrect syntax near 'X'.");
  EXPECT_EQ(err.HelpFile(), "help.chm");
  EXPECT_EQ(err.HelpContext(), 42);
}

TEST_F(LocalTextTest, ASessionParserTeardownUnloadsAndTheNextCallMakesANewLoader) {
  EXPECT_EQ(GetLocalText("合计", "en"), "Total");
  const auto first = last_.lock();
  ASSERT_EQ(first->LoadCount(), 1);
  { frame::CParse parser; }
  // Unloaded: the old loader reads its table again when asked.
  first->LoadString("合计");
  EXPECT_EQ(first->LoadCount(), 2);
  EXPECT_EQ(GetLocalText("合计", "en"), "Total");
  EXPECT_EQ(created_, 2);
  EXPECT_NE(last_.lock(), first);
}

}  // namespace
}  // namespace orv::toolkit
