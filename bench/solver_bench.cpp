// What the numerics cost: one evaluation, one chord step, one whole solve.
#include "polynomial.h"

#include <benchmark/benchmark.h>

namespace {

void load(std::initializer_list<Complex> coefficients)
{
    resetSolver();
    for (const Complex& c : coefficients)
        CoefficientTable[coefficientCount++] = c;
}

// The time of one chord step, shown in seconds with a prefix: 5.2n is 5.2 ns.
benchmark::Counter perStep(std::int64_t steps)
{
    return benchmark::Counter(
        static_cast<double>(steps), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// (x - 1)(x - 2) ... (x - 9).
void loadNineRealRoots() { load({1, -45, 870, -9450, 63273, -269325, 723680, -1172700, 1026576, -362880}); }

// x² + i.
void loadTrappedSearch() { load({1, 0, Complex(0, 1)}); }

// The floor: a chord step costs one evaluation and a few operations more.
void evaluateOn(benchmark::State& state, void (*loadPolynomial)())
{
    loadPolynomial();
    Complex x(0.5f, 0.25f);
    for (auto _ : state) {
        benchmark::DoNotOptimize(x);
        benchmark::DoNotOptimize(evaluate(x));
    }
}
BENCHMARK_CAPTURE(evaluateOn, orderNine, loadNineRealRoots);
BENCHMARK_CAPTURE(evaluateOn, orderTwo, loadTrappedSearch);

// The search for a root of x² + i never converges: it spends the whole
// step budget.
void findRootWholeBudget(benchmark::State& state)
{
    std::int64_t steps = 0;
    for (auto _ : state) {
        loadTrappedSearch();
        benchmark::DoNotOptimize(findRoot());
        steps += iterationCount;
    }
    state.counters["per_step"] = perStep(steps);
}
BENCHMARK(findRootWholeBudget);

// A whole order-9 solve: nine searches, each followed by deflation.
void solveNineRealRoots(benchmark::State& state)
{
    std::int64_t steps = 0;
    for (auto _ : state) {
        loadNineRealRoots();
        while (coefficientCount > 1) {
            const Complex root = findRoot();
            benchmark::DoNotOptimize(withinTolerance(evaluate(root)));
            deflate(root);
        }
        steps += iterationCount;
    }
    state.counters["steps"] = static_cast<double>(iterationCount);
    state.counters["per_step"] = perStep(steps);
}
BENCHMARK(solveNineRealRoots);

} // namespace
