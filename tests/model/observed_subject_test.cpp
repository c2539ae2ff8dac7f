#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "model/observed_subject.h"

namespace {

struct TRecorder : CObserver {
  TRecorder(std::string name, std::string& log) : name(std::move(name)), log(log) {}
  void Notify(CObservedSubject* subject) override {
    log += name;
    if (onNotify) onNotify(subject);
  }
  std::string name;
  std::string& log;
  std::function<void(CObservedSubject*)> onNotify;
};

TEST(ObservedSubjectTest, NotifiesInAttachmentOrderOncePerAttachment) {
  std::string log;
  TRecorder first("1", log), second("2", log), third("3", log);
  CObservedSubject subject;
  subject.NotifyObservers();  // nobody attached: nothing happens
  subject.Attach(&first);
  subject.Attach(&second);
  subject.Attach(&third);
  subject.Attach(&second);
  subject.NotifyObservers();
  EXPECT_EQ(log, "1232");

  // Detach removes every entry; an observer that isn't attached is ignored.
  log.clear();
  subject.Detach(&second);
  subject.Detach(&second);
  subject.NotifyObservers();
  EXPECT_EQ(log, "13");
}

TEST(ObservedSubjectTest, ObserversMayDetachAndAttachWhileBeingNotified) {
  std::string log;
  TRecorder first("1", log), second("2", log), third("3", log), late("L", log);
  CObservedSubject subject;
  subject.Attach(&first);
  subject.Attach(&second);
  subject.Attach(&third);
  // The first detaches itself and the third, and attaches a late one: the third is
  // skipped, the late one hears the next notification.
  first.onNotify = [&](CObservedSubject* s) {
    s->Detach(&first);
    s->Detach(&third);
    s->Attach(&late);
  };
  subject.NotifyObservers();
  EXPECT_EQ(log, "12");
  log.clear();
  subject.NotifyObservers();
  EXPECT_EQ(log, "2L");
}

TEST(ObservedSubjectTest, CopiesNotifyTheSameObservers) {
  std::string log;
  TRecorder watcher("w", log);
  CObservedSubject subject;
  subject.Attach(&watcher);
  CObservedSubject copy;
  copy = subject;
  copy.NotifyObservers();
  EXPECT_EQ(log, "w");
}

}  // namespace
