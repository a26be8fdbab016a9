// The effect's parameter dictionary: the one writer and the read of "rate"
// that both readers (the go-live handler and the Edit-Parameters dialog) use.
//
// The dictionary belongs to the host; these functions only read and write
// entries in it, through the suite table's sDictionary slot, and make the keys
// anew on every access.
#pragma once

#include "host_api/host_api.h"

// The keys the plug-in keeps in the dictionary.
constexpr char kRateKey[] = "rate";
constexpr char kDisplayStringKey[] = "DisplayString";
// The effect's display name, stored under kDisplayStringKey.
constexpr char kDisplayName[] = "Morvelin";

// The viscosity the user can choose, in percent, and the value of a new
// application.
enum { kRateMinimum = 1, kRateMaximum = 100, kRateDefault = 50 };

// Writes "DisplayString" ("Morvelin" in the platform encoding) and then
// "rate" = `rate`, replacing entries that exist and adding those that do not.
// The host's results of the two set operations are not reported: callers go
// on as if both had succeeded. Throws ai::Error with the host's code when the
// display string cannot be made; neither entry is written then.
void WriteParameters(DictionaryHandle parameters, HostReal rate);

// Reads the stored "rate" into *rate and returns true. Returns false, leaving
// *rate untouched, when there is no usable rate: no entry under "rate", an
// entry that cannot be read as a real, or a NaN or infinite value. A finite
// value is returned as stored, without clamping to 1..100.
bool ReadStoredRate(DictionaryHandle parameters, HostReal* rate);
