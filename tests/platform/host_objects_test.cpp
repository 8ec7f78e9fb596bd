// The condition dictionary, the date formatting of the filters and the
// per-thread Err object.
#include <gtest/gtest.h>

#include <thread>

#include "platform/err_object.h"
#include "platform/host_objects.h"
#include "tests/platform/platform_test_util.h"

namespace orv::platform {
namespace {

using testing::ErrorOf;

TEST(ConditionDictionary, AddItemExistsGetValue) {
  ConditionDictionary dct;
  dct.Add("FBeginDate", Variant("2024-01-01"));
  dct.Add("FLevel", Variant(int16_t{2}));
  EXPECT_EQ(dct.Item("FBeginDate").ToString(), "2024-01-01");
  EXPECT_TRUE(dct.Item("Missing").IsEmpty());
  EXPECT_TRUE(dct.Exists("FLevel"));
  EXPECT_FALSE(dct.Exists("flevel"));  // keys are exact
  EXPECT_EQ(dct.GetValue("FLevel", Variant(int16_t{-1})).ToInteger(), 2);
  EXPECT_EQ(dct.GetValue("FLvlFrom", Variant(int16_t{-1})).ToInteger(), -1);
  EXPECT_EQ(dct.GetValue("FStatus", Variant("N")).ToString(), "N");
  EXPECT_EQ(dct.Count(), 2u);
}

TEST(ConditionDictionary, DuplicateAddIsRefusedAndKeepsTheFirstValue) {
  ConditionDictionary dct;
  dct.Add("K", Variant(1));
  EXPECT_EQ(ErrorOf([&] { dct.Add("K", Variant(2)); }), kErrDuplicateKey);
  EXPECT_EQ(dct.Item("K").ToLong(), 1);
  dct.Set("K", Variant(3));
  dct.Set("L", Variant(4));
  EXPECT_EQ(dct.Item("K").ToLong(), 3);
  ASSERT_EQ(dct.entries().size(), 2u);
  EXPECT_EQ(dct.entries()[1].first, "L");
}

TEST(FormatDateText, AcceptsTheClientsDateForms) {
  EXPECT_EQ(FormatDateText(Variant("2024-3-5"), "yyyy-mm-dd"), "2024-03-05");
  EXPECT_EQ(FormatDateText(Variant("2024/03/05 00:00:00"), "yyyy-mm-dd"), "2024-03-05");
  EXPECT_EQ(FormatDateText(Variant("2024-03-05"), "yyyy-mm-dd"), "2024-03-05");
  EXPECT_EQ(FormatDateText(Variant("2024-03-05T10:00:00"), "yyyy-mm-dd"), "2024-03-05");
  EXPECT_EQ(FormatDateText(Variant(" 2024-12-31 23:59:59.997 "), "yyyy-mm-dd"), "2024-12-31");
  EXPECT_EQ(FormatDateText(Variant("2024-02-29"), "yyyy-mm-dd"), "2024-02-29");
  EXPECT_EQ(FormatDateText(Variant::Date(45356.75), "yyyy-mm-dd"), "2024-03-05");
  EXPECT_EQ(FormatDateText(Variant("2024-03-05T10:20:30"), "yyyy-mm-dd hh:mm:ss"), "2024-03-05 10:20:30");
}

TEST(FormatDateText, RejectsWhatIsNotADate) {
  for (const char* text : {"", "abc", "2024-02-30", "2023-02-29", "2024-13-01", "2024-00-10", "24-3-5",
                           "2024-03-05x", "2024-03/05", "2024-03-05 25:00:00", "2024-03-05 10:60", "20240305",
                           "'2024-03-05'", "2024-03-05; DROP TABLE t"}) {
    EXPECT_EQ(ErrorOf([&] { (void)FormatDateText(Variant(text), "yyyy-mm-dd"); }), kErrTypeMismatch) << text;
  }
  EXPECT_EQ(ErrorOf([] { (void)FormatDateText(Variant(), "yyyy-mm-dd"); }), kErrTypeMismatch);
  EXPECT_EQ(ErrorOf([] { (void)FormatDateText(Variant::Null(), "yyyy-mm-dd"); }), kErrTypeMismatch);
  EXPECT_EQ(ErrorOf([] { (void)FormatDateText(Variant(45356), "yyyy-mm-dd"); }), kErrTypeMismatch);
  EXPECT_EQ(ErrorOf([] { (void)FormatDateText(Variant("2024-03-05"), "dd/mm/yyyy"); }), kErrInvalidProcedureCall);
}

TEST(ErrObject, RaiseSetsAndThrowsClearResets) {
  Err().Clear();
  EXPECT_FALSE(Err().IsSet());
  try {
    Err().Raise(-2147217900, "src", "desc", "help.chm", 7);
    FAIL() << "Raise returned";
  } catch (const AutomationError& error) {
    EXPECT_EQ(error.number(), -2147217900);
    EXPECT_EQ(error.source(), "src");
  }
  EXPECT_TRUE(Err().IsSet());
  EXPECT_EQ(Err().HelpFile(), "help.chm");
  EXPECT_EQ(Err().HelpContext(), 7);
  EXPECT_EQ(ErrorOf([] { Err().Raise(0); }), kErrInvalidProcedureCall);
  Err().Clear();
  EXPECT_EQ(Err().Number(), 0);
  EXPECT_EQ(Err().Description(), "");
}

TEST(ErrObject, EachThreadHasItsOwn) {
  Err().Set(AutomationError(13, "here", "Type mismatch"));
  int32_t other_thread_number = -1;
  std::thread([&] { other_thread_number = Err().Number(); }).join();
  EXPECT_EQ(other_thread_number, 0);
  EXPECT_EQ(Err().Number(), 13);
  Err().Clear();
}

}  // namespace
}  // namespace orv::platform
