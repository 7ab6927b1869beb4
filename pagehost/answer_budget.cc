#include "pagehost/answer_budget.h"

namespace vorlintex::pagehost {

void AnswerBudget::Take(size_t bytes) {
  std::unique_lock lock(mutex_);
  wanted_ += bytes;
  room_.wait(lock, [&] { return closed_ || held_ == 0 || held_ + bytes <= limit_; });
  wanted_ -= bytes;
  held_ += bytes;
}

void AnswerBudget::Add(size_t bytes) {
  std::lock_guard lock(mutex_);
  held_ += bytes;
}

void AnswerBudget::Release(size_t bytes) {
  {
    std::lock_guard lock(mutex_);
    held_ -= bytes;
  }
  room_.notify_all();
}

bool AnswerBudget::Short() const {
  std::lock_guard lock(mutex_);
  return held_ + wanted_ > limit_;
}

bool AnswerBudget::Wanted() const {
  std::lock_guard lock(mutex_);
  return wanted_ > 0;
}

void AnswerBudget::Close() {
  {
    std::lock_guard lock(mutex_);
    closed_ = true;
  }
  room_.notify_all();
}

}  // namespace vorlintex::pagehost
