#pragma once
// The model's side of the screens: a model that can be watched is a CObservedSubject, a
// window that shows it is a CObserver attached to it. After a change of its visible state
// the model notifies its observers, and each reads the model again.
//
// The subject does not own its observers and neither notifies nor detaches them when it
// goes: an observer detaches itself before the subject goes, or goes first.

#include <list>

class CObservedSubject;

class CObserver {
 public:
  virtual ~CObserver() = default;
  virtual void Notify(CObservedSubject* subject) = 0;
};

class CObservedSubject {
 public:
  CObservedSubject() = default;
  // Copies share the observer list: a copy notifies the same observers (the inventory's
  // copies in the screens rely on it).
  CObservedSubject(const CObservedSubject&) = default;
  CObservedSubject& operator=(const CObservedSubject&) = default;
  virtual ~CObservedSubject() = default;

  // Appends the observer; one attached twice is notified twice.
  virtual void Attach(CObserver* observer);
  // Removes every entry of the observer; one that is not attached is ignored.
  virtual void Detach(CObserver* observer);
  // Notifies the observers from the first attached to the last. Observers may attach and
  // detach during the walk: one detached before its turn is skipped, one attached during
  // the walk hears the next notification. The subject itself must outlive the call.
  virtual void NotifyObservers();

 private:
  std::list<CObserver*> mObservers;
};
