#include "app/console_run.h"

#include <memory>
#include <utility>

#include "component/ascii.h"
#include "component/automation.h"
#include "component/morvane.h"
#include "component/services.h"
#include "generator/target_turns.h"
#include "pagehost/page_objects.h"
#include "pagehost/page_run.h"

namespace vorlintex::app {
namespace {

class SummaryKeeper : public generator::RunObserver {
 public:
  void RunFinished(const generator::RunSummary& summary) override { summary_ = summary; }
  std::optional<generator::RunSummary>& summary() { return summary_; }

 private:
  std::optional<generator::RunSummary> summary_;
};

}  // namespace

ConsoleRunResult RunConsoleGeneration(const ConsoleRunInputs& inputs, Env& env) {
  generator::TargetTurns turns;
  SummaryKeeper keeper;
  automation::ClassRegistry registry;
  RegisterMorvane(&registry, Services{&env, &turns, &keeper});

  pagehost::FormFields form = {{"PageNumber", "2"},
                               {"sourcedir", inputs.source_dir},
                               {"targetdir", inputs.target_dir},
                               {"dllname", inputs.dll_name}};
  for (const std::string& page : inputs.pages) form.emplace_back("asplist", page);
  auto response = std::make_shared<pagehost::PageResponse>();
  auto context = std::make_shared<pagehost::PageContext>(
      std::make_shared<pagehost::PageRequest>(pagehost::FormFields(), std::move(form)),
      std::make_shared<pagehost::NoSession>(), response);

  ConsoleRunResult result;
  result.page_status = pagehost::RunHostPage(registry, std::move(context));
  result.page = std::move(response->body());
  result.summary = std::move(keeper.summary());
  return result;
}

std::vector<std::string> SelectablePages(Env& env, const std::string& source_dir) {
  std::vector<std::string> pages;
  for (std::string& name : env.ListFiles(source_dir + "\\*.asp")) {
    std::string lower = AsciiLower(name);
    if (lower.find(".asp") != std::string::npos || lower.find(".inc") != std::string::npos) {
      pages.push_back(std::move(name));
    }
  }
  return pages;
}

}  // namespace vorlintex::app
