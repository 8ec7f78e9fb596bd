// Sizes of the generated scales and the order in which their tables are written.
#include "demo/generator.h"

#include <stdexcept>

#include "demo/base_data.h"
#include "demo/documents.h"
#include "demo/random.h"

namespace orv::demo {

void GenerateData(Scale scale, uint64_t seed, const BatchSink& sink) {
  BaseSizes base_sizes;
  DocumentSizes document_sizes;
  switch (scale) {
    case Scale::Small:
      base_sizes = BaseSizes{40, 12, 60, 200, 12, 8};
      document_sizes = DocumentSizes{250, 300, 300, 400, 150};
      break;
    case Scale::Large:
      // Three lines per document on average: about a million document lines
      // in the chain and the invoices, and a million requisition lines more.
      base_sizes = BaseSizes{2000, 200, 5000, 100000, 200, 200};
      document_sizes = DocumentSizes{50000, 60000, 335000, 100000, 20000};
      break;
    case Scale::Tiny:
      throw std::invalid_argument("the tiny fixture is written by hand, not generated");
  }
  Random random(seed);
  const BaseData base = WriteBaseData(random, base_sizes, sink);
  WriteAssetChain(random, base, document_sizes, sink);
  WriteInvoices(random, base, document_sizes, sink);
}

}  // namespace orv::demo
