// The go-live handler on arbitrary art, in a fresh stand-in host each time.
//
// The input describes, in order: the viscosity entry, an optional host
// failure at call k, an optional failing handle-list allocation, whether the
// message arrives inside the Edit-Parameters dialog, and then the art tree
// (groups, paths with random segments, flags and paint, circles, compound
// paths, objects of other kinds). The art stays small (at most kMostPaths
// paths) so that the unite stays fast.
//
// Checked after every run: the result is 0, the injected code, '!MEM' when an
// allocation was failed, the unite's own code or 'RNGE' (below); no path holds a NaN that
// the input did not put there; the tree is intact (every live object is
// reachable from the layer and knows its parent); every suite slot is empty
// and the host's balance is zero; no handle list is left allocated.
//
// With MORVELIN_FUZZ_TRACE set, each run prints its journal and its outcome.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "blend/go_live.h"
#include "blend/handle_list.h"
#include "plugin/plugin_globals.h"
#include "plugin/suite_table.h"
#include "standin/art/art_store.h"
#include "standin/core/host.h"
#include "standin/core/suite_registry.h"
#include "standin/dictionary/dictionary_store.h"
#include "standin/unite/unite_engine.h"

namespace {

constexpr HostError kFuzzFault = HOST_FOURCC('F', 'U', 'Z', 'Z');
constexpr int kMostPaths = 12;
constexpr int kMostObjects = 40;
constexpr int kDeepest = 6;

void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "go-live invariant broken: %s\n", what);
  std::abort();
}

bool HasNaN(const PathSegment& s) {
  return std::isnan(s.p.h) || std::isnan(s.p.v) || std::isnan(s.in.h) || std::isnan(s.in.v) ||
         std::isnan(s.out.h) || std::isnan(s.out.v);
}

// Builds the art tree that the input describes.
class ArtBuilder {
 public:
  ArtBuilder(FuzzedDataProvider& input, standin::ArtStore& store) : input_(input), store_(store) {}

  void Build(ArtObject* layer) {
    std::vector<ArtObject*> groups{layer};
    while (input_.remaining_bytes() > 0 && paths_ < kMostPaths && objects_ < kMostObjects) {
      ArtObject* parent = groups.back();
      switch (input_.ConsumeIntegralInRange<int>(0, 7)) {
        case 0:
        case 1: AddPath(parent, CircleSegments()); break;
        case 2: AddPath(parent, RandomSegments()); break;
        case 3:
          if (groups.size() < kDeepest) groups.push_back(Count(store_.NewGroup(parent)));
          break;
        case 4:
          if (groups.size() > 1) groups.pop_back();
          break;
        case 5: AddCompoundPath(parent); break;
        case 6: AddOther(parent); break;
        case 7: AddPath(parent, {}); break;  // a path without segments
      }
    }
  }

  // The input's segments that hold a NaN: the only NaNs allowed afterwards.
  const std::vector<PathSegment>& nanSegments() const { return nanSegments_; }

 private:
  ArtObject* Count(ArtObject* art) {
    ++objects_;
    return art;
  }

  float RawFloat() {
    const uint32_t bits = input_.ConsumeIntegral<uint32_t>();
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }

  // Mostly half units in [-64, 63.5], so that shapes meet and the unite has
  // little to flatten; one value in 32 is any float (NaN, infinity, huge,
  // subnormal).
  HostReal Coordinate() {
    const uint8_t tag = input_.ConsumeIntegral<uint8_t>();
    if ((tag & 0x1F) == 0x1F) return RawFloat();
    return static_cast<HostReal>(static_cast<int8_t>(tag)) * 0.5f;
  }

  HostPoint Point() {
    HostPoint p;
    p.h = Coordinate();
    p.v = Coordinate();
    return p;
  }

  // A circle as the host draws one, with a radius that may be zero or negative.
  std::vector<PathSegment> CircleSegments() {
    const HostPoint c = Point();
    const HostReal r = Coordinate();
    const double kappa = 0.5522847;
    const double cosT[4] = {1, 0, -1, 0};
    const double sinT[4] = {0, 1, 0, -1};
    std::vector<PathSegment> segments;
    for (int quarter = 0; quarter < 4; ++quarter) {
      const double ph = c.h + r * cosT[quarter];
      const double pv = c.v + r * sinT[quarter];
      const double th = -sinT[quarter] * kappa * r;
      const double tv = cosT[quarter] * kappa * r;
      PathSegment s{};
      s.p = HostPoint{static_cast<HostReal>(ph), static_cast<HostReal>(pv)};
      s.in = HostPoint{static_cast<HostReal>(ph - th), static_cast<HostReal>(pv - tv)};
      s.out = HostPoint{static_cast<HostReal>(ph + th), static_cast<HostReal>(pv + tv)};
      segments.push_back(s);
    }
    return segments;
  }

  std::vector<PathSegment> RandomSegments() {
    std::vector<PathSegment> segments(input_.ConsumeIntegralInRange<std::size_t>(1, 8));
    for (PathSegment& s : segments) {
      s.p = Point();
      const uint8_t handles = input_.ConsumeIntegral<uint8_t>();
      s.in = (handles & 1) != 0 ? Point() : s.p;
      s.out = (handles & 2) != 0 ? Point() : s.p;
      s.corner = (handles & 4) != 0 ? 1 : 0;
    }
    return segments;
  }

  PathStyle Style(uint8_t flags) {
    PathStyle style{};
    style.fillPaint = (flags & 0x10) == 0 ? 1 : 0;
    style.strokePaint = (flags & 0x20) != 0 ? 1 : 0;
    style.evenOddFill = (flags & 0x40) != 0 ? 1 : 0;
    style.fillColor = HostColor{0, 0, 0, 1};
    style.strokeColor = HostColor{0, 0, 0, 1};
    style.strokeWidth = (flags & 0x80) != 0 ? Coordinate() : 1.0f;
    style.miterLimit = 4;
    style.lineJoin = kLineJoinMiter;
    return style;
  }

  void Note(const std::vector<PathSegment>& segments) {
    for (const PathSegment& s : segments) {
      if (HasNaN(s)) nanSegments_.push_back(s);
    }
  }

  // Flags byte: bit 0 open, bits 1-3 guide (001) or clip (010), bit 4 no
  // fill, bit 5 stroked, bit 6 even-odd, bit 7 a random stroke width.
  ArtObject* AddPath(ArtObject* parent, std::vector<PathSegment> segments) {
    const uint8_t flags = input_.ConsumeIntegral<uint8_t>();
    Note(segments);
    ArtObject* path = Count(store_.NewPath(parent, std::move(segments), (flags & 1) == 0, Style(flags)));
    path->guide = (flags & 0x0E) == 0x02;
    path->clip = (flags & 0x0E) == 0x04;
    ++paths_;
    return path;
  }

  void AddCompoundPath(ArtObject* parent) {
    ArtObject* compound = Count(store_.NewCompoundPath(parent, Style(input_.ConsumeIntegral<uint8_t>())));
    const int members = input_.ConsumeIntegralInRange<int>(1, 3);
    for (int i = 0; i < members && paths_ < kMostPaths; ++i) {
      AddPath(compound, input_.ConsumeBool() ? CircleSegments() : RandomSegments());
    }
  }

  // Text, placed, raster, foreign, an unknown kind, or a code no host uses.
  void AddOther(ArtObject* parent) {
    static const int16_t kTypes[] = {
        kArtTypeText, kArtTypePlaced, kArtTypeRaster, kArtTypeForeign, kArtTypeUnknown, -7, 99};
    Count(store_.NewForeign(parent, input_.PickValueInArray(kTypes), "<kept/>"));
  }

  FuzzedDataProvider& input_;
  standin::ArtStore& store_;
  int paths_ = 0;
  int objects_ = 0;
  std::vector<PathSegment> nanSegments_;
};

// Writes the viscosity entry the input asks for: missing, of the wrong type,
// zero, any float, or a whole number from 1 to 100.
void WriteRate(FuzzedDataProvider& input, standin::DictionaryStore& dictionaries,
               DictionaryHandle parameters) {
  const uint8_t choice = input.ConsumeIntegral<uint8_t>();
  switch (choice % 8) {
    case 0: return;
    case 1: dictionaries.Set(parameters, "rate", standin::DictEntry::Integer(50)); return;
    case 2: dictionaries.Set(parameters, "rate", standin::DictEntry::Real(0.0f)); return;
    case 3: {
      const uint32_t bits = input.ConsumeIntegral<uint32_t>();
      float rate;
      std::memcpy(&rate, &bits, sizeof rate);
      dictionaries.Set(parameters, "rate", standin::DictEntry::Real(rate));
      return;
    }
    default:
      dictionaries.Set(parameters, "rate", standin::DictEntry::Real(static_cast<HostReal>(choice % 100 + 1)));
  }
}

int gAllocationsLeft = -1;  // -1: every allocation succeeds
void* AllocateUntilExhausted(std::size_t bytes) {
  if (gAllocationsLeft == 0) return nullptr;
  if (gAllocationsLeft > 0) --gAllocationsLeft;
  return std::malloc(bytes);
}

int SuitesHeld() {
  int held = 0;
  for (const HostSuiteEntry& entry : HostSuiteTable::kEntries) held += *entry.slot != nullptr ? 1 : 0;
  return held;
}

// Objects reachable from `art` (itself included); each must be live and be
// its children's parent. NaNs must be ones the input put there.
int CheckTree(const standin::ArtStore& store, const ArtObject* art,
              const std::vector<PathSegment>& nanSegments) {
  Require(store.IsLive(art), "a reachable object is not live");
  for (const PathSegment& s : art->segments) {
    if (!HasNaN(s)) continue;
    bool given = false;
    for (const PathSegment& n : nanSegments) given = given || std::memcmp(&n, &s, sizeof s) == 0;
    Require(given, "a path holds a NaN that the input did not give");
  }
  int reachable = 1;
  for (const ArtObject* child : art->children) {
    Require(child->parent == art, "a child does not know its parent");
    reachable += CheckTree(store, child, nanSegments);
  }
  return reachable;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  standin::Host host;
  standin::ArtStore& store = host.art();

  // The run's conditions come first, then the art.
  const DictionaryHandle parameters = host.dictionaries().Create();
  WriteRate(input, host.dictionaries(), parameters);
  const uint8_t faults = input.ConsumeIntegral<uint8_t>();
  const bool injectHostFault = (faults & 1) != 0;
  const std::size_t faultAt = input.ConsumeIntegralInRange<std::size_t>(0, 700);
  const bool failAllocation = (faults & 2) != 0;
  gAllocationsLeft = failAllocation ? (faults >> 2) % 3 : -1;
  const bool inDialog = (faults & 0x20) != 0;

  ArtObject* layer = store.NewGroup();
  ArtBuilder builder(input, store);
  builder.Build(layer);

  PluginGlobals globals{};
  gGlobals = (faults & 0x40) != 0 || inDialog ? &globals : nullptr;
  if (inDialog) {
    Require(AcquireAllSuites(host.basic()) == kHostNoError, "the dialog's suites");
    globals.inDialog = 1;
  }
  SetHandleListAllocator(AllocateUntilExhausted);
  host.journal().Clear();
  if (injectHostFault) host.journal().FailAt(faultAt, kFuzzFault);

  LiveEffectGoLiveMessage message{};
  message.d = host.MessageHeader();
  message.parameters = parameters;
  message.art = layer;
  const HostError result = GoLive(&message);

  SetHandleListAllocator(nullptr);
  host.journal().ClearFaults();
  if (std::getenv("MORVELIN_FUZZ_TRACE") != nullptr) {
    std::fprintf(stderr, "%sresult %s, unite calls %d, live objects %d\n", host.journal().Dump().c_str(),
                 standin::CodeText(result).c_str(), host.unite().calls(), store.Live());
  }
  bool faultHit = false;
  bool releaseRefused = false;
  for (const standin::JournalEntry& entry : host.journal().entries()) {
    if (entry.injected == 0) continue;
    faultHit = true;
    releaseRefused = entry.op == "ReleaseSuite";
  }
  const standin::UniteEngine& unite = host.unite();
  const bool uniteCode = unite.calls() > 0 && result == unite.lastCall().result;
  // 'RNGE' is the host's answer to a segment read past the end: a path
  // without segments as the first source leaves nothing to pad the template
  // with, and the handler passes the code on.
  if (!(result == kHostNoError || (faultHit && result == kFuzzFault) ||
        (failAllocation && result == kHostErrOutOfMemory) || uniteCode || result == kHostErrRange)) {
    std::fprintf(stderr, "result %s\n%s", standin::CodeText(result).c_str(), host.journal().Dump().c_str());
    Require(false, "an unexpected result code");
  }
  Require(LiveHandleLists() == 0, "a handle list leaked");

  const int reachable = CheckTree(store, layer, builder.nanSegments());
  Require(reachable == store.Live(), "an object is outside the tree");

  if (inDialog) {
    Require(SuitesHeld() == HostSuiteTable::kCount, "the go-live handler released the dialog's suites");
    globals.inDialog = 0;
    ReleaseAllSuites(host.basic());
  } else if (releaseRefused) {
    // A refused release keeps its slot; the next release gives it back.
    ReleaseAllSuites(host.basic());
  }
  Require(SuitesHeld() == 0, "a suite slot is still set");
  Require(host.balance().Zero(), "the host's balance is not zero");
  gGlobals = nullptr;
  return 0;
}
