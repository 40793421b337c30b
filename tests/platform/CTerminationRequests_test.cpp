#include "platform/CTerminationRequests.h"

#include <csignal>
#include <vector>

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

int foreignHandlerCalls = 0;
void foreignHandler(int) { ++foreignHandlerCalls; }

}  // namespace

// Each request of the system to end arrives as a Qt signal through the event loop,
// instead of ending the process; afterwards the handlers that were there come back.
TEST(CTerminationRequests, SignalsArriveThroughTheLoopAndTheOldHandlersComeBack) {
  for (const int number : {SIGTERM, SIGHUP, SIGINT}) {
    SCOPED_TRACE(number);
    std::signal(number, foreignHandler);
    foreignHandlerCalls = 0;
    {
      CTerminationRequests requests;
      ASSERT_TRUE(requests.active());
      QSignalSpy spy(&requests, &CTerminationRequests::requested);
      ASSERT_EQ(0, std::raise(number));
      ASSERT_TRUE(QTest::qWaitFor([&] { return spy.count() > 0; }, 2000));
      ASSERT_EQ(spy.count(), 1);
      EXPECT_EQ(spy.at(0).at(0).toInt(), number);
      EXPECT_EQ(foreignHandlerCalls, 0);
    }
    ASSERT_EQ(0, std::raise(number));
    EXPECT_EQ(foreignHandlerCalls, 1);
    std::signal(number, SIG_DFL);
  }
}

// Two signals before the loop runs are both delivered.
TEST(CTerminationRequests, RequestsAreNotLostWhileTheLoopIsBusy) {
  CTerminationRequests requests;
  ASSERT_TRUE(requests.active());
  std::vector<int> seen;
  QObject::connect(&requests, &CTerminationRequests::requested,
                   [&](int number) { seen.push_back(number); });
  ASSERT_EQ(0, std::raise(SIGHUP));
  ASSERT_EQ(0, std::raise(SIGTERM));
  ASSERT_TRUE(QTest::qWaitFor([&] { return seen.size() == 2; }, 2000));
  EXPECT_EQ(seen, (std::vector<int>{SIGHUP, SIGTERM}));
}
