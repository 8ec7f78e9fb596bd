// The object context votes: harmless outside a host, recorded on the context a
// host makes current, restored when the host's scope ends, and per thread.
#include <gtest/gtest.h>

#include <thread>

#include "platform/object_context.h"

namespace orv::platform {
namespace {

TEST(ObjectContext, VotesGoToTheCurrentContextAndScopesNest) {
  GetObjectContext().SetAbort();  // outside a host: decides nothing, raises nothing
  ObjectContext& outside = GetObjectContext();

  auto call = std::make_shared<ObjectContext>();
  {
    ObjectContextScope scope(call);
    EXPECT_EQ(&GetObjectContext(), call.get());
    EXPECT_FALSE(call->Done());
    auto inner = std::make_shared<ObjectContext>();
    {
      ObjectContextScope nested(inner);
      GetObjectContext().SetAbort();
    }
    EXPECT_TRUE(inner->Done());
    EXPECT_FALSE(inner->Consistent());
    EXPECT_FALSE(call->Done());
    GetObjectContext().SetComplete();
    // Another thread is outside this host's call.
    std::thread([&] { EXPECT_NE(&GetObjectContext(), call.get()); }).join();
  }
  EXPECT_TRUE(call->Done());
  EXPECT_TRUE(call->Consistent());
  EXPECT_EQ(&GetObjectContext(), &outside);
}

}  // namespace
}  // namespace orv::platform
