// The database file: a magic line, then checksummed blocks: the catalog
// (schemas, views, identity values, row counts, the checkpoint's sequence
// number), one block per chunk of 65,536 rows of each column, and an end block
// that proves the file is whole. The write-ahead log names the sequence
// number of the file it applies to.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "engine/catalog/catalog.h"

namespace orv::engine {

std::string EncodeSnapshot(const Catalog& catalog, uint64_t sequence);
// Fills an empty catalog; returns the file's sequence number. Throws
// FileDamaged. Every block's checksum is checked here; the tables keep `file`
// and decode each column when it is first read (824 naming `path` if that fails).
uint64_t DecodeSnapshot(std::shared_ptr<const std::string> file, const std::string& path, Catalog& catalog);

}  // namespace orv::engine
