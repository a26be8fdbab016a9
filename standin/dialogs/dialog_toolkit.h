// The dialog toolkit behind "ADM Dialog Suite", "ADM Item Suite" and "ADM
// Notifier Suite": dialogs built from the plug-in's dialog templates, their
// items and notifications, and the modal loop, in which a scripted user
// (scripted_user.h) stands in for the person at the screen.
//
// Item roles come from the template: a "Button" with button style 2 or 3 is
// a check box, any other "Button" a push button, a "Static" a static text, a
// control of class "ADM Slider Type" a slider. Items start with the
// template's text, unticked, at value 0 within bounds 0..100.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_set>
#include <vector>

#include "host_api/host_api.h"
#include "standin/dialogs/dialog_objects.h"
#include "standin/dialogs/scripted_user.h"

namespace standin {

class Host;
struct DialogTemplate;

class DialogToolkit {
 public:
  // Called after each step of a modal loop (first with UserAction::Open(),
  // once the loop starts, then after each action), with the dialog as the
  // user now sees it.
  using Observer = std::function<void(const UserAction& step, const DialogObject& dialog)>;

  DialogToolkit();
  ~DialogToolkit();
  DialogToolkit(const DialogToolkit&) = delete;
  DialogToolkit& operator=(const DialogToolkit&) = delete;

  // Dialogs created and not destroyed.
  int Open() const { return open_; }

  // The actions the next modal loop plays; that loop takes them, so a later
  // loop without a new script ends at once as closed.
  void SetScript(std::vector<UserAction> actions) { script_ = std::move(actions); }
  void SetObserver(Observer observer) { observer_ = std::move(observer); }
  // Where a modal loop takes its actions once its script has run out: asked
  // with the dialog as the user now sees it, it returns the next action, or
  // nothing when the person closed the window. A person at a page answers
  // through one; it may wait for them.
  using ActionSource = std::function<std::optional<UserAction>(const DialogObject& dialog)>;
  void SetActionSource(ActionSource source) { source_ = std::move(source); }

  // A new dialog with the template's items, owned by the toolkit.
  DialogObject* Build(const DialogTemplate& dialogTemplate, PluginRef owner, const char* name,
                      void* userData);
  // Marks the dialog and its items destroyed; their handles stop being live.
  void Destroy(DialogObject* dialog);

  bool IsLive(const DialogObject* dialog) const { return liveDialogs_.count(dialog) != 0; }
  bool IsLive(const ItemObject* item) const { return liveItems_.count(item) != 0; }
  bool IsLive(const NotifierObject* notifier) const;

  // Plays the script, then what the action source gives, on `dialog` until a
  // button ends the loop, the window is closed or both run out (which ends it
  // with ID 2, as closing does), or the dialog is destroyed (ID 2). Returns
  // the ID.
  int32_t RunModal(DialogObject* dialog);
  // Ends the dialog's modal loop with `id` unless it has ended already; does
  // nothing outside a loop.
  void EndModal(DialogObject& dialog, int32_t id);

  // Sends `item` a notification of `type`: to its notify procedure, or to
  // the toolkit's default handling when it has none.
  void Deliver(ItemObject* item, const char* type);
  // The toolkit's default handling: a push button ends the modal loop with
  // its ID; other items do nothing.
  void DefaultNotify(ItemObject* item);

  // Every dialog built, destroyed ones included, in the order they were built.
  const std::vector<std::unique_ptr<DialogObject>>& dialogs() const { return dialogs_; }
  // Actions played by modal loops so far, "open" steps not counted.
  int actionsPlayed() const { return actionsPlayed_; }

 private:
  std::vector<std::unique_ptr<DialogObject>> dialogs_;
  std::unordered_set<const DialogObject*> liveDialogs_;
  std::unordered_set<const ItemObject*> liveItems_;
  std::vector<const NotifierObject*> liveNotifiers_;
  std::vector<UserAction> script_;
  Observer observer_;
  ActionSource source_;
  int open_ = 0;
  int actionsPlayed_ = 0;
};

// Registers "ADM Dialog Suite", "ADM Item Suite" and "ADM Notifier Suite".
void RegisterDialogSuites(Host& host);

// The suites' function tables (dialog_suite.cpp, item_suite.cpp,
// notifier_suite.cpp).
const ADMDialogSuite& ADMDialogSuiteTable();
const ADMItemSuite& ADMItemSuiteTable();
const ADMNotifierSuite& ADMNotifierSuiteTable();

}  // namespace standin
