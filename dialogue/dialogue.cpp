// The dialogue, the same on every platform.
#include "dialogue.h"

#include "console.h"
#include "messages.h"
#include "polynomial.h"
#include "roots.h"

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

} // namespace

void runDialogue(std::istream& in, std::ostream& out)
{
    resetSolver();
    std::array<FoundRoot, tableSize> roots{};

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
    findAllRoots([] { return findRoot(); }, roots);

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
