#include "app/console_run.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

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

ConsoleRunResult RunConsoleGeneration(ConsoleRunInputs inputs, Env& env) {
  generator::TargetTurns turns;
  SummaryKeeper keeper;
  automation::ClassRegistry registry;
  RegisterMorvane(&registry, Services{&env, &turns, &keeper});

  pagehost::FormFields form = {{"PageNumber", "2"},
                               {"sourcedir", std::move(inputs.source_dir)},
                               {"targetdir", std::move(inputs.target_dir)},
                               {"dllname", std::move(inputs.dll_name)}};
  pagehost::PostedList pages{
      "asplist", std::make_shared<const std::vector<std::string>>(std::move(inputs.pages))};
  auto response = std::make_shared<pagehost::PageResponse>();
  auto context = std::make_shared<pagehost::PageContext>(
      std::make_shared<pagehost::PageRequest>(pagehost::FormFields(), std::move(form),
                                              std::move(pages)),
      std::make_shared<pagehost::NoSession>(), response);

  ConsoleRunResult result;
  result.page_status = pagehost::RunHostPage(registry, std::move(context));
  result.page = std::move(response->body());
  result.summary = std::move(keeper.summary());
  return result;
}

std::vector<std::string> SelectablePages(Env& env, const std::string& source_dir) {
  // Filtered where they are: the listing of a large site is not copied.
  std::vector<std::string> pages = env.ListFiles(source_dir + "\\*.asp");
  std::erase_if(pages, [](const std::string& name) {
    std::string lower = AsciiLower(name);
    return lower.find(".asp") == std::string::npos && lower.find(".inc") == std::string::npos;
  });
  // The list is held for the whole run: without the room the listing grew into.
  pages.shrink_to_fit();
  return pages;
}

}  // namespace vorlintex::app
