// The deterministic data generator of the `small` and `large` scales: base data
// first, then the documents, each INSERT statement handed to the sink as one batch.
#pragma once

#include <cstdint>

#include "demo/demo_database.h"
#include "demo/sql_writer.h"

namespace orv::demo {

// Generates the data of `scale` (Small or Large) from `seed`.
void GenerateData(Scale scale, uint64_t seed, const BatchSink& sink);

}  // namespace orv::demo
