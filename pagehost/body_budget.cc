#include "pagehost/body_budget.h"

namespace vorlintex::pagehost {

bool BodyBudget::TryTake(size_t bytes) {
  size_t held = held_.load();
  do {
    if (bytes > limit_ - held) return false;
  } while (!held_.compare_exchange_weak(held, held + bytes));
  return true;
}

void BodyBudget::Release(size_t bytes) { held_ -= bytes; }

}  // namespace vorlintex::pagehost
