#include "pagehost/session_store.h"

#include <gtest/gtest.h>

#include <vector>

namespace vorlintex::pagehost {
namespace {

using namespace std::chrono_literals;

// Stores with a hand-moved clock. (Ids, cookies and lookups through requests are checked by
// the server's tests.)
class SessionStoreTest : public ::testing::Test {
 protected:
  SessionStore MakeStore(size_t max_sessions, size_t max_bytes = 1 << 20) {
    SessionStoreOptions options;
    options.max_sessions = max_sessions;
    options.max_bytes = max_bytes;
    options.now = [this] { return now_; };
    return SessionStore(std::move(options));
  }
  std::string Start(SessionStore& store, const std::string& value = "folder") {
    std::string id;
    std::shared_ptr<SessionValues> values;
    EXPECT_TRUE(store.Create(&id, &values).ok());
    values->Set("sourcedir", value);
    values->Set("targetdir", value);
    return id;
  }

  SessionStoreOptions::Clock::time_point now_{};
};

TEST_F(SessionStoreTest, PushesOutTheLeastRecentlyUsedWhenFullAndEndsTheIdle) {
  SessionStore store = MakeStore(3);
  std::string a = Start(store, "a"), b = Start(store), c = Start(store, "c");
  EXPECT_EQ(store.Find(a)->Get("SourceDir"), "a");  // b is now the least recent
  EXPECT_EQ(store.Find(a)->Get("dllname"), "");
  std::string d = Start(store);
  EXPECT_EQ(store.size(), 3u);
  EXPECT_EQ(store.Find(b), nullptr);
  EXPECT_EQ(store.Find(c)->Get("sourcedir"), "c");
  EXPECT_NE(store.Find(d), nullptr);

  // Twenty idle minutes end a session; a request restarts the idle time.
  now_ += 19min;
  ASSERT_NE(store.Find(a), nullptr);
  now_ += 19min;
  ASSERT_NE(store.Find(a), nullptr);
  EXPECT_EQ(store.size(), 1u);  // the expired ones go when others are used
  now_ += 20min;
  EXPECT_EQ(store.Find(a), nullptr);
  EXPECT_EQ(store.size(), 0u);
}

TEST_F(SessionStoreTest, HoldsABoundedNumberOfBytes) {
  SessionStore store = MakeStore(4096, 64 * 1024);
  std::vector<std::string> ids;
  for (int i = 0; i < 100; ++i) {
    ids.push_back(Start(store, std::string(4096, 'a')));
    // Past the bound by at most what the last session stored.
    EXPECT_LE(store.bytes(), 64 * 1024 + 2 * (4096 + 1024)) << i;
  }
  EXPECT_LT(store.size(), 10u);
  EXPECT_EQ(store.Find(ids.front()), nullptr);  // the oldest went first
  // A value made shorter gives its bytes back.
  size_t before = store.bytes();
  store.Find(ids.back())->Set("sourcedir", "");
  EXPECT_EQ(store.bytes(), before - 4096);
}

TEST_F(SessionStoreTest, AFailingIdSourceStartsNoSession) {
  SessionStoreOptions options;
  options.new_id = [](std::string*) { return Status::IOError("getrandom", "no entropy"); };
  SessionStore store(std::move(options));
  std::string id;
  std::shared_ptr<SessionValues> values;
  EXPECT_EQ(store.Create(&id, &values).ToString(), "IO error: getrandom: no entropy");
  EXPECT_EQ(store.size(), 0u);
}

}  // namespace
}  // namespace vorlintex::pagehost
