// The numerics must allocate nothing: every operator new of this program is
// counted while an order-9 equation is solved, and none may come.
#include "polynomial.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

namespace {
bool counting = false;
int allocations = 0;
} // namespace

void* operator new(std::size_t size)
{
    if (counting)
        ++allocations;
    if (void* block = std::malloc(size == 0 ? 1 : size))
        return block;
    throw std::bad_alloc();
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }

TEST(NoHeap, OrderNineSolve)
{
    // (x - 1)(x - 2) ... (x - 9).
    const float coefficients[] = {1, -45, 870, -9450, 63273, -269325, 723680, -1172700, 1026576, -362880};
    resetSolver();
    coefficientCount = tableSize;
    for (int k = 0; k < tableSize; ++k)
        CoefficientTable[k] = Complex(coefficients[k]);

    counting = true;
    Complex sum;
    while (coefficientCount > 1) {
        const Complex root = findRoot();
        sum += root;
        withinTolerance(evaluate(root));
        deflate(root);
    }
    counting = false;

    EXPECT_EQ(allocations, 0);
    // The solve did run: the nine roots of this polynomial add up to 45.
    EXPECT_NEAR(sum.real(), 45.0f, 0.5f);
    // And the counter does count.
    counting = true;
    ::operator delete(::operator new(sizeof(int)));
    counting = false;
    EXPECT_EQ(allocations, 1);
}
