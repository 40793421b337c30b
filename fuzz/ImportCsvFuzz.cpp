// importCsv on arbitrary text. What it imports must be records the instrument can
// hold, within the limits the editor keeps, and exported again they must come
// back unchanged.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "csv/CableCsv.h"
#include "fields/CrossSection.h"
#include "fields/FieldLimits.h"
#include "FuzzChecks.h"
#include "model/MaterialInfo.h"
#include "model/SCable.h"
#include "model/SListCablesBase.h"

using namespace tolmira;

namespace {

void checkRecord(const SCable& rec) {
  requireRecordShape(rec);
  require(SCable::checkName(rec.name));
  require(rec.sIsStored <= 1);
  require(rec.ku == 0.0f || (rec.ku >= KuMin && rec.ku <= KuMax));
  require(rec.twistCode <= 50000);
  if (rec.material.hasRuOverride())
    require(rec.material.ruOverride >= RuMin && rec.material.ruOverride <= RuMax);
  if (rec.sIsStored && rec.rOrS != 0.0f) require(rec.rOrS >= SectionMin && rec.rOrS <= SectionMax);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const CsvImport first = importCsv(text);
  if (!first.readable) {
    require(first.records.empty() && !first.error.empty());
    return 0;
  }
  require(first.records.size() <= static_cast<std::size_t>(SListCablesBase::kMaxCount));
  for (const SCable& rec : first.records) checkRecord(rec);

  for (const CsvOptions options : {CsvOptions{',', false}, CsvOptions{';', true}}) {
    const CsvImport again = importCsv(exportCsv(first.records, options));
    require(again.readable && again.rejectedRows == 0);
    require(again.records.size() == first.records.size());
    for (std::size_t i = 0; i < first.records.size(); ++i)
      require(std::memcmp(&again.records[i], &first.records[i], sizeof(SCable)) == 0);
  }
  return 0;
}
