// The thread's current object context. Objects are apartment-threaded, so a
// context is only ever touched by the thread it is current on.
#include "platform/object_context.h"

namespace orv::platform {
namespace {

thread_local ObjectContext* current_context = nullptr;

}  // namespace

void ObjectContext::SetComplete() {
  done_ = true;
  consistent_ = true;
}

void ObjectContext::SetAbort() {
  done_ = true;
  consistent_ = false;
}

ObjectContext& GetObjectContext() {
  if (current_context) return *current_context;
  // No activity: the votes land here and go nowhere.
  thread_local ObjectContext outside_any_activity;
  return outside_any_activity;
}

ObjectContextScope::ObjectContextScope(std::shared_ptr<ObjectContext> context)
    : context_(std::move(context)), outer_(current_context) {
  current_context = context_.get();
}

ObjectContextScope::~ObjectContextScope() { current_context = outer_; }

}  // namespace orv::platform
