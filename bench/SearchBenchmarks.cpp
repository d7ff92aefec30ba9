// Typing into a list's search field: the text event as the page sends it, the screen's
// filtering, and the answer's view written as the page receives it. Each figure is one
// keystroke's server time on the five-year ledger; the target is one frame, 16 ms. Two texts
// take turns, so every keystroke changes what the list shows.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/BenchContext.h"
#include "toolkit/Navigator.h"
#include "toolkit/ScreenFactory.h"
#include "toolkit/SearchField.h"
#include "web/ViewJson.h"

namespace {

Navigator& nav() {
    return BenchContext::get().app->navigator();
}

// Replaces the whole search text through one text event and writes the view it answers with;
// false when the screen refused the event.
bool typeAndAnswer(Screen& screen, const std::string& text, std::string& answer) {
    UIEvent e;
    e.type = "text";
    e.id = SearchField::kId;
    e.length = static_cast<long>(screen.get<SearchField>(SearchField::kId)->text.size());
    e.replacement = text;
    if (!screen.handleEvent(e)) return false;
    answer.clear();
    web::appendJson(answer, screen.describe());
    return true;
}

// On a screen pushed for the run (after `opening` brought it there), the two texts in turn.
void search(benchmark::State& state, const char* screenClass, const char* first, const char* second,
            void (*opening)(Screen&) = nullptr) {
    nav().pushViewController(createScreen(screenClass), false);
    Screen& screen = *nav().top();
    if (opening) opening(screen);
    std::string answer;
    bool flip = false;
    size_t bytes = 0;
    for (auto _ : state) {
        if (!typeAndAnswer(screen, (flip = !flip) ? first : second, answer)) {
            state.SkipWithError("search refused");
            break;
        }
        bytes += answer.size();
    }
    state.counters["answer kB"] =
        benchmark::Counter(static_cast<double>(bytes) / 1024, benchmark::Counter::kAvgIterations);
    nav().popViewControllerAnimated(false);
    nav().drain();
}

// The stock overview of 2,000 products: about a hundred rows, then every row.
void BM_search_stock(benchmark::State& state) {
    search(state, "ALLInventoryViewController", "product 19", "product 18");
}
void BM_search_stock_all(benchmark::State& state) {
    search(state, "ALLInventoryViewController", "p", "pr");
}

// A month of the sales journal (about 580 orders) by partner name: about 70 rows each.
void BM_search_journal(benchmark::State& state) {
    search(state, "OUTItemsViewController", "customer 1", "customer 2");
}

// The picker across all categories; the products are read at the first search, before timing.
void BM_search_picker(benchmark::State& state) {
    search(state, "SelectProductsBackViewController", "product 19", "m-12", [](Screen& picker) {
        std::string answer;
        typeAndAnswer(picker, "product", answer);
    });
}

// The picker's first keystroke, which reads every product first.
void BM_search_picker_first(benchmark::State& state) {
    std::string answer;
    for (auto _ : state) {
        state.PauseTiming();
        nav().pushViewController(createScreen("SelectProductsBackViewController"), false);
        state.ResumeTiming();
        if (!typeAndAnswer(*nav().top(), "product 1999", answer))
            state.SkipWithError("search refused");
        state.PauseTiming();
        nav().popViewControllerAnimated(false);
        nav().drain();
        state.ResumeTiming();
    }
}

}  // namespace

BENCHMARK(BM_search_stock)->Name("search/stock")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_search_stock_all)
    ->Name("search/stock-all")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_search_journal)->Name("search/journal")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_search_picker)->Name("search/picker")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_search_picker_first)
    ->Name("search/picker-first")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
