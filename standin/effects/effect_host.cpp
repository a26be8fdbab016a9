#include "standin/effects/effect_host.h"

#include "standin/art/art_store.h"
#include "standin/core/host.h"
#include "standin/journal/handle_serials.h"

namespace standin {

namespace {

// Contexts are numbers from this base on in steps of 8, by the application's
// index: never null, and apart from every other handle the host makes.
constexpr std::uintptr_t kFirstContextId = 0x5C000000u;

ParamContext ContextFor(std::size_t index) {
  return reinterpret_cast<ParamContext>(kFirstContextId + 8 * static_cast<std::uintptr_t>(index));
}

}  // namespace

EffectApplication& EffectHost::Apply(ArtObject* drawn, DictionaryHandle parameters) {
  auto application = std::make_unique<EffectApplication>();
  application->drawn = drawn;
  application->parameters = parameters;
  application->context = ContextFor(applications_.size());
  NoteNewHandle(application->context);
  applications_.push_back(std::move(application));
  return *applications_.back();
}

HostError EffectHost::Execute(EffectApplication& application) {
  if (entryPoint_ == nullptr) return kHostErrUnsupported;
  ArtStore& art = host_.art();
  ArtObject* input = art.Copy(application.drawn);

  LiveEffectGoLiveMessage message{};
  message.d = host_.MessageHeader();
  message.effect = effect_;
  message.parameters = application.parameters;
  message.instanceInfo = nullptr;
  message.art = input;

  if (depth_ > 0) ++nestedExecutions_;
  ++depth_;
  const HostError result = host_.journal().Message(kLiveEffectCaller, kLiveEffectGoLiveSelector, [&] {
    return entryPoint_(kLiveEffectCaller, kLiveEffectGoLiveSelector, &message);
  });
  --depth_;

  // The new result replaces what the drawing showed.
  if (application.shown != nullptr && art.IsLive(application.shown)) art.Dispose(application.shown);
  application.shown = input;
  ++application.executions;
  application.lastResult = result;
  return result;
}

HostError EffectHost::EditParameters(EffectApplication& application, HostBoolean* allowPreview) {
  if (entryPoint_ == nullptr) return kHostErrUnsupported;
  LiveEffectEditParamMessage message{};
  message.d = host_.MessageHeader();
  message.effect = effect_;
  message.parameters = application.parameters;
  message.context = application.context;
  message.allowPreview = 0;

  ++depth_;
  const HostError result = host_.journal().Message(kLiveEffectCaller, kLiveEffectEditParametersSelector, [&] {
    return entryPoint_(kLiveEffectCaller, kLiveEffectEditParametersSelector, &message);
  });
  --depth_;
  if (allowPreview != nullptr) *allowPreview = message.allowPreview;
  return result;
}

HostError EffectHost::Update(ParamContext context) {
  const auto id = reinterpret_cast<std::uintptr_t>(context);
  if (id < kFirstContextId || (id - kFirstContextId) % 8 != 0) return kHostErrBadParameter;
  const std::uintptr_t index = (id - kFirstContextId) / 8;
  if (index >= applications_.size()) return kHostErrBadParameter;
  return Execute(*applications_[index]);
}

}  // namespace standin
