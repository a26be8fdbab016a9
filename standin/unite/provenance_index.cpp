#include "standin/unite/provenance_index.h"

namespace standin {

void ProvenanceIndex::AddKey(int64_t x, int64_t y) {
  heads_.emplace(Key(x, y), std::make_pair(kNone, kNone));
}

void ProvenanceIndex::Record(int64_t x, int64_t y, const Provenance& provenance) {
  auto it = heads_.find(Key(x, y));
  if (it == heads_.end()) return;
  const uint32_t at = static_cast<uint32_t>(entries_.size());
  entries_.push_back(Entry{provenance, kNone});
  if (it->second.first == kNone) {
    it->second.first = at;
  } else {
    entries_[it->second.second].next = at;
  }
  it->second.second = at;
}

void ProvenanceIndex::Find(int64_t x, int64_t y, std::vector<Provenance>* found) const {
  found->clear();
  auto it = heads_.find(Key(x, y));
  if (it == heads_.end()) return;
  for (uint32_t at = it->second.first; at != kNone; at = entries_[at].next)
    found->push_back(entries_[at].provenance);
}

}  // namespace standin
