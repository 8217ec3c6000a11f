// The numerics must allocate nothing: every operator new of this program is
// counted while an order-9 equation is solved, and none may come.
#include "polynomial.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

namespace {
int allocations = 0;
} // namespace

void* operator new(std::size_t size)
{
    ++allocations;
    if (void* block = std::malloc(size == 0 ? 1 : size))
        return block;
    throw std::bad_alloc();
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }

TEST(NoHeap, OrderNineSolve)
{
    // (x - 1)(x - 2) ... (x - 9), whose roots add up to 45.
    resetSolver();
    for (float c : {1, -45, 870, -9450, 63273, -269325, 723680, -1172700, 1026576, -362880})
        CoefficientTable[coefficientCount++] = Complex(c);
    const int before = allocations;
    Complex sum;
    for (Complex root; coefficientCount > 1; deflate(root))
        sum += root = findRoot();
    // The count does count.
    const int solved = allocations;
    ::operator delete(::operator new(1));
    EXPECT_EQ(allocations, solved + 1);
    EXPECT_EQ(solved, before);
    EXPECT_NEAR(sum.real(), 45.0f, 0.5f);
}
