#include "model/observed_subject.h"

#include <algorithm>
#include <vector>

void CObservedSubject::Attach(CObserver* observer) {
  if (observer) mObservers.push_back(observer);
}

void CObservedSubject::Detach(CObserver* observer) { mObservers.remove(observer); }

void CObservedSubject::NotifyObservers() {
  // A window that reacts may detach itself, or another window, and so change the list.
  std::vector<CObserver*> walk(mObservers.begin(), mObservers.end());
  for (CObserver* observer : walk) {
    if (std::find(mObservers.begin(), mObservers.end(), observer) != mObservers.end()) observer->Notify(this);
  }
}
