// The chord method's searches, and the deflation that divides out each root.
#include "polynomial.h"

#include <algorithm>

std::array<Complex, tableSize> CoefficientTable{};
std::int32_t coefficientCount = 0;
std::int32_t iterationCount = 0;
const RunObserver* runObserver = nullptr;

namespace {

// The slots in use, never more than the table holds.
int slotsInUse() { return std::min<std::int32_t>(coefficientCount, tableSize); }

Complex endSearch(SearchEnd end, const Complex& root)
{
    if (runObserver)
        runObserver->searchEnded(end, root);
    return root;
}

} // namespace

void resetSolver()
{
    CoefficientTable.fill(Complex());
    coefficientCount = 0;
    iterationCount = 0;
}

Complex evaluate(const Complex& x)
{
    Complex acc = CoefficientTable[0];
    for (int k = 1; k < slotsInUse(); ++k)
        acc = CoefficientTable[k] + x * acc;
    return acc;
}

bool withinTolerance(const Complex& value) { return modulus(value) < tolerance; }

Complex findRoot() { return findRootFrom(Complex(0.0f, 0.0f), Complex(1.0f, 1.0f)); }

Complex findRootFrom(const Complex& first, const Complex& second)
{
    Complex x0 = first;
    Complex x1 = second;
    Complex x2;
    Complex f0 = evaluate(x0);
    Complex f1 = evaluate(x1);
    if (runObserver)
        runObserver->searchStarted(CoefficientTable.data(), slotsInUse(), x0, f0, x1, f1);
    while (iterationCount < stepBudget) {
        const Complex d = f1 - f0;
        const Complex h = x1 - x0;
        const Complex t = f0 * h;
        const Complex q = t / d;
        x2 = x0 - q;
        // A zero denominator or an overflow: no step can follow from here.
        if (!isFinite(x2))
            return endSearch(SearchEnd::leftFiniteNumbers, x1);
        const Complex f2 = evaluate(x2);
        if (!isFinite(f2))
            return endSearch(SearchEnd::leftFiniteNumbers, x1);
        if (runObserver)
            runObserver->searchStepped(x2, f2);
        if (withinTolerance(f2))
            return endSearch(SearchEnd::withinTolerance, x2);
        x0 = x1;
        f0 = f1;
        x1 = x2;
        f1 = f2;
        ++iterationCount;
    }
    return endSearch(SearchEnd::budgetSpent, x2);
}

void deflate(const Complex& root)
{
    const int count = slotsInUse();
    std::array<Complex, tableSize> b{};
    b[0] = CoefficientTable[0];
    for (int k = 1; k < count; ++k)
        b[k] = CoefficientTable[k] + root * b[k - 1];
    for (int k = 1; k < count - 1; ++k)
        CoefficientTable[k] = b[k];
    --coefficientCount;
}
