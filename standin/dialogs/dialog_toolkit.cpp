#include "standin/dialogs/dialog_toolkit.h"

#include <algorithm>
#include <new>
#include <utility>

#include "standin/core/host.h"
#include "standin/core/resource_table.h"
#include "standin/core/suite_registry.h"
#include "standin/journal/handle_serials.h"

namespace standin {

namespace {

// The low 16 bits of a button's style: BS_CHECKBOX and BS_AUTOCHECKBOX.
constexpr uint32_t kButtonStyleMask = 0xFFFF;
constexpr uint32_t kCheckBoxStyle = 2;
constexpr uint32_t kAutoCheckBoxStyle = 3;
constexpr char kSliderClass[] = "ADM Slider Type";
// The ID with which a closed window ends a modal loop, as Cancel does.
constexpr int32_t kClosedID = 2;

ItemRole RoleOf(const DialogItemTemplate& item) {
  if (item.classAtom == kClassAtomButton || item.className == "Button") {
    const uint32_t buttonStyle = item.style & kButtonStyleMask;
    const bool checkBox = buttonStyle == kCheckBoxStyle || buttonStyle == kAutoCheckBoxStyle;
    return checkBox ? ItemRole::kCheckBox : ItemRole::kPushButton;
  }
  if (item.classAtom == kClassAtomStatic || item.className == "Static") return ItemRole::kStaticText;
  if (item.className == kSliderClass) return ItemRole::kSlider;
  return ItemRole::kOther;
}

// Keeps a notification in the live list while it is delivered.
class LiveNotifier {
 public:
  LiveNotifier(std::vector<const NotifierObject*>& live, const NotifierObject* notifier) : live_(live) {
    live_.push_back(notifier);
  }
  ~LiveNotifier() { live_.pop_back(); }
  LiveNotifier(const LiveNotifier&) = delete;
  LiveNotifier& operator=(const LiveNotifier&) = delete;

 private:
  std::vector<const NotifierObject*>& live_;
};

}  // namespace

DialogToolkit::DialogToolkit() = default;
DialogToolkit::~DialogToolkit() = default;

bool DialogToolkit::IsLive(const NotifierObject* notifier) const {
  return std::find(liveNotifiers_.begin(), liveNotifiers_.end(), notifier) != liveNotifiers_.end();
}

DialogObject* DialogToolkit::Build(const DialogTemplate& dialogTemplate, PluginRef owner, const char* name,
                                   void* userData) {
  auto dialog = std::make_unique<DialogObject>();
  NoteNewHandle(dialog.get());
  dialog->owner = owner;
  dialog->name = name != nullptr ? name : "";
  dialog->resourceID = dialogTemplate.id;
  dialog->caption = dialogTemplate.caption;
  dialog->userData = userData;
  for (const DialogItemTemplate& itemTemplate : dialogTemplate.items) {
    auto item = std::make_unique<ItemObject>();
    NoteNewHandle(item.get());
    item->dialog = dialog.get();
    item->id = itemTemplate.id;
    item->role = RoleOf(itemTemplate);
    item->text = itemTemplate.text;
    dialog->items.push_back(std::move(item));
  }
  // The toolkit knows the dialog and its items only once all of them are
  // made: running out of memory on the way leaves no trace of it.
  dialogs_.reserve(dialogs_.size() + 1);
  try {
    for (const auto& item : dialog->items) liveItems_.insert(item.get());
    liveDialogs_.insert(dialog.get());
  } catch (const std::bad_alloc&) {
    for (const auto& item : dialog->items) liveItems_.erase(item.get());
    liveDialogs_.erase(dialog.get());
    throw;
  }
  ++open_;
  dialogs_.push_back(std::move(dialog));
  return dialogs_.back().get();
}

void DialogToolkit::Destroy(DialogObject* dialog) {
  if (!IsLive(dialog)) return;
  for (const auto& item : dialog->items) liveItems_.erase(item.get());
  liveDialogs_.erase(dialog);
  dialog->destroyed = true;
  --open_;
}

int32_t DialogToolkit::RunModal(DialogObject* dialog) {
  if (!IsLive(dialog)) return kClosedID;
  const std::vector<UserAction> script = std::move(script_);
  script_.clear();
  const bool outerModal = dialog->modal;
  const int32_t outerEnded = dialog->endedWith;
  dialog->modal = true;
  dialog->endedWith = 0;
  if (observer_) observer_(UserAction::Open(), *dialog);
  std::size_t next = 0;
  while (dialog->endedWith == 0 && !dialog->destroyed) {
    std::optional<UserAction> action;
    if (next < script.size()) {
      action = script[next++];
    } else if (source_) {
      action = source_(*dialog);
    }
    if (!action) break;
    PerformUserAction(*this, *dialog, *action);
    ++actionsPlayed_;
    if (observer_) observer_(*action, *dialog);
  }
  // Out of actions: the person closed the window.
  const int32_t id = dialog->endedWith != 0 ? dialog->endedWith : kClosedID;
  dialog->modal = outerModal;
  dialog->endedWith = outerEnded;
  return id;
}

void DialogToolkit::EndModal(DialogObject& dialog, int32_t id) {
  if (dialog.modal && dialog.endedWith == 0) dialog.endedWith = id;
}

void DialogToolkit::Deliver(ItemObject* item, const char* type) {
  if (!IsLive(item)) return;
  NotifierObject notifier{type != nullptr ? type : ""};
  NoteNewHandle(&notifier);
  const LiveNotifier live(liveNotifiers_, &notifier);
  if (item->notify != nullptr) {
    item->notify(item, &notifier);
  } else {
    DefaultNotify(item);
  }
}

void DialogToolkit::DefaultNotify(ItemObject* item) {
  if (!IsLive(item) || item->role != ItemRole::kPushButton) return;
  EndModal(*item->dialog, item->id);
}

void RegisterDialogSuites(Host& host) {
  host.suites().Add(kADMDialogSuite, kADMDialogSuiteVersion, &ADMDialogSuiteTable());
  host.suites().Add(kADMItemSuite, kADMItemSuiteVersion, &ADMItemSuiteTable());
  host.suites().Add(kADMNotifierSuite, kADMNotifierSuiteVersion, &ADMNotifierSuiteTable());
}

}  // namespace standin
