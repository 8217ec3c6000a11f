// readComplex over arbitrary bytes, value after value until the stream fails:
// a failed read leaves the target exactly as it was, a successful one stores
// finite parts and consumes input, and the stream is never left bad.
#include "complex.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>

namespace {

bool sameBits(const Complex& a, const Complex& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

void require(bool holds)
{
    if (!holds)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    // An odd value that no input spells, so that any change shows.
    Complex target(-7.25f, 3.0e-7f);
    for (;;) {
        const Complex before = target;
        const std::streamoff from = in.tellg();
        std::istream& result = readComplex(in, target);
        require(&result == &in);
        require(!in.bad());
        if (in.fail()) {
            require(sameBits(target, before));
            return 0;
        }
        require(isFinite(target));
        // Each value read takes at least one character, so the loop ends.
        require(in.eof() || in.tellg() > from);
        if (in.eof())
            return 0;
    }
}
