// A guard for the recursive walks of binding, planning and evaluation: a
// query through many views can nest deeper than any one statement's text, so
// past half of the thread's stack the statement fails with error 191 instead
// of overflowing it.
#pragma once

namespace orv::engine {

// Raises 191 when the calling thread has used more than half of its stack.
void CheckStackDepth();

}  // namespace orv::engine
