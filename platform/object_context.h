// The object context of the activity a component object runs in, and its two
// votes on the activity's outcome: SetComplete (done, consistent) and SetAbort
// (done, inconsistent). A host makes a context current on the thread for the
// length of a call; outside a host the thread's context belongs to no activity
// and its votes decide nothing, so callers can always cast them.
#pragma once

#include <memory>

#include "platform/object.h"

namespace orv::platform {

class ObjectContext : public Object {
 public:
  void SetComplete();
  void SetAbort();

  // The last vote cast: done is false until one is; consistent tells which.
  bool Done() const { return done_; }
  bool Consistent() const { return consistent_; }

 private:
  bool done_ = false;
  bool consistent_ = true;
};

// The context current on this thread: the innermost ObjectContextScope's, or
// the thread's own context of no activity.
ObjectContext& GetObjectContext();

// Makes `context` the thread's current context while the scope lives, as a
// host does around each call into an object. Scopes nest.
class ObjectContextScope {
 public:
  explicit ObjectContextScope(std::shared_ptr<ObjectContext> context);
  ~ObjectContextScope();
  ObjectContextScope(const ObjectContextScope&) = delete;
  ObjectContextScope& operator=(const ObjectContextScope&) = delete;

 private:
  std::shared_ptr<ObjectContext> context_;
  ObjectContext* outer_;
};

}  // namespace orv::platform
