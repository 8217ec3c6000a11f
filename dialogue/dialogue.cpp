// The dialogue, the same on every platform.
#include "dialogue.h"

#include "console.h"
#include "messages.h"
#include "polynomial.h"

#include <array>

namespace {

// Reads the order into coefficientCount, asking again while it is above 9,
// the most the tables hold. A failed read counts as order 0; it returns
// whether the order was read.
bool readOrder(std::istream& in, std::ostream& out)
{
    for (;;) {
        writeMessage(out, messages::orderPrompt);
        if (!(in >> coefficientCount)) {
            coefficientCount = 0;
            return false;
        }
        if (coefficientCount <= tableSize - 1)
            return true;
        writeMessage(out, messages::orderTooLarge);
        out << '\n';
    }
}

struct Root {
    Complex value;
    bool converged = false;
    bool afterMiss = false; // a search before it missed the tolerance
};

} // namespace

void runDialogue(std::istream& in, std::ostream& out)
{
    resetSolver();
    std::array<Root, tableSize> roots{};

    writeMessage(out, messages::title);
    out << '\n';
    const bool orderRead = readOrder(in, out);
    ++coefficientCount;
    writeMessage(out, messages::coefficientPrompt);
    out << '\n';
    writeMessage(out, messages::coefficientHint);
    out << '\n';
    out << messages::inputMark;
    for (int k = 0; k < coefficientCount; ++k)
        readComplex(in, CoefficientTable[k]);
    out << '\n';
    // The slots from the first one not read on stay 0 + 0i: the equation
    // solved is not quite the one typed.
    if (orderRead && in.fail()) {
        writeMessage(out, messages::coefficientsNotRead);
        out << '\n';
    }

    const int rootTotal = coefficientCount;
    iterationCount = 0;
    // Judged on the polynomial the root was searched in, before deflation.
    // Once a search has missed the tolerance, the polynomial was divided by
    // a point that is no root, and no later root is one of the equation typed.
    bool reached = true;
    for (int k = 1; coefficientCount > 1; ++k) {
        const Complex root = findRoot();
        const bool afterMiss = !reached;
        reached = reached && withinTolerance(evaluate(root));
        roots[k] = {root, reached, afterMiss};
        deflate(root);
    }

    writeMessage(out, messages::rootsHeading);
    out << '\n';
    for (int k = 1; k < rootTotal; ++k) {
        out << 'x' << k << '=' << roots[k].value.real() << ' ' << roots[k].value.imag() << 'i';
        if (!roots[k].converged)
            writeMessage(out, messages::notConverged);
        if (runObserver)
            runObserver->rootWritten(k, !roots[k].converged, roots[k].afterMiss);
        out << '\n';
    }
    writeMessage(out, messages::stepCountLabel);
    out << iterationCount << '\n';
    writeMessage(out, messages::closingPrompt);
}
