// The ERP demo database: the schema script, the data script at three scales and
// a loader that runs both on an embedded engine session. `tiny` is a hand-made
// fixture whose report rows are worked out in demo/tiny-expected.md; `small`
// and `large` are generated from a seed, the same bytes for the same seed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orv::engine {
class Session;
}

namespace orv::demo {

enum class Scale { Tiny, Small, Large };

constexpr uint64_t kDefaultSeed = 20240101;

// "tiny", "small", "large".
std::string_view ScaleName(Scale scale);
// The scale of a name (exact lower case), or nothing.
std::optional<Scale> ParseScale(std::string_view name);

// CREATE TABLE / CREATE VIEW script of every table the reports read or write,
// batches separated by GO lines.
std::string SchemaScript();

// INSERT script of the data, batches separated by GO lines. The tiny fixture is
// fixed and ignores `seed`; `small` holds thousands of document lines, `large`
// about two million, half of them requisition lines (built in seconds, some hundred
// megabytes of text).
std::string DataScript(Scale scale, uint64_t seed = kDefaultSeed);

// Runs the schema and the data script of `scale` (default seed) on `session`,
// batch by batch. Throws engine::SqlError of the first failing batch, its line
// counted within the whole script.
void LoadDemo(engine::Session& session, Scale scale);

// Registers "demo-tiny", "demo-small" and "demo-large" with the embedded
// provider, so that a connection string with "Data Source=demo-small" opens a
// database loaded with that scale (loaded once per process, on first use).
void RegisterDemoDatabases();

}  // namespace orv::demo
