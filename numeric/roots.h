// All roots of the current polynomial, one search and one division each.
#pragma once

#include "polynomial.h"

#include <array>

struct FoundRoot {
    Complex value;
    bool converged = false;
    bool afterMiss = false; // a search before it missed the tolerance
};

// Finds the roots of the current polynomial one after another, each by
// search() and then divided out, until only the constant is left; roots[k]
// holds the k-th, from 1. Each is judged on the polynomial it was searched
// in, before the division. Once a search has missed the tolerance, the
// polynomial was divided by a point that is no root, and no later root is one
// of the equation typed.
template <class Search>
void findAllRoots(Search search, std::array<FoundRoot, tableSize>& roots)
{
    bool reached = true;
    for (int k = 1; coefficientCount > 1; ++k) {
        const Complex root = search();
        const bool afterMiss = !reached;
        reached = reached && withinTolerance(evaluate(root));
        roots[k] = {root, reached, afterMiss};
        deflate(root);
    }
}
