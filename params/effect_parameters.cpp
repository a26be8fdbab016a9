#include "params/effect_parameters.h"

#include <cmath>

#include "plugin/host_unicode_string.h"
#include "plugin/suite_table.h"

void WriteParameters(DictionaryHandle parameters, HostReal rate) {
  const DictKey displayKey = sDictionary->Key(kDisplayStringKey);
  {
    // Made and disposed of around the one call that uses it; the dictionary
    // keeps its own copy. A failure to make it throws before anything is set.
    const HostUnicodeString displayName(kDisplayName, kPlatformEncoding);
    (void)sDictionary->SetUnicodeStringEntry(parameters, displayKey, displayName.handle());
  }
  const DictKey rateKey = sDictionary->Key(kRateKey);
  (void)sDictionary->SetRealEntry(parameters, rateKey, rate);
}

bool ReadStoredRate(DictionaryHandle parameters, HostReal* rate) {
  const DictKey key = sDictionary->Key(kRateKey);
  if (!sDictionary->IsKnown(parameters, key)) return false;
  // An entry of another type, or one the host cannot read, holds no rate;
  // neither does a NaN or an infinity, which no later arithmetic could use.
  HostReal value = 0.0f;
  if (sDictionary->GetRealEntry(parameters, key, &value) != kHostNoError) return false;
  if (!std::isfinite(value)) return false;
  *rate = value;
  return true;
}
