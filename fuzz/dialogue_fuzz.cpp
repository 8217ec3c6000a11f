// The whole dialogue over arbitrary standard input. Every run must write the
// dialogue's texts in their order, at most nine root lines whose parts are
// finite numbers, no root without the remark after one with it, and a step
// count within the budget; never nan or inf.
#include "console.h"
#include "dialogue.h"
#include "messages.h"
#include "polynomial.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

namespace {

// A text as writeMessage gives it here: the fuzzer keeps the C locale, so in
// UTF-8.
std::string shown(const char* text)
{
    std::ostringstream out;
    writeMessage(out, text);
    return out.str();
}

void require(bool holds)
{
    if (!holds)
        std::abort();
}

// Reads the transcript from the front, one expected piece at a time.
class Reader {
public:
    explicit Reader(std::string text) : text(std::move(text)) {}

    bool take(const std::string& piece)
    {
        if (text.compare(at, piece.size(), piece) != 0)
            return false;
        at += piece.size();
        return true;
    }

    // A number as the dialogue writes floats and counts: digits, sign, point
    // and exponent only, so neither nan nor inf can pass.
    double number()
    {
        const std::size_t from = at;
        while (at < text.size() && std::string("0123456789+-.e").find(text[at]) != std::string::npos)
            ++at;
        require(at > from);
        char* end = nullptr;
        const std::string digits = text.substr(from, at - from);
        const double value = std::strtod(digits.c_str(), &end);
        require(*end == '\0' && std::isfinite(value));
        return value;
    }

    bool atEnd() const { return at == text.size(); }

private:
    std::string text;
    std::size_t at = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string title = shown(messages::title) + "\n";
    static const std::string orderPrompt = shown(messages::orderPrompt);
    static const std::string orderTooLarge = shown(messages::orderTooLarge) + "\n";
    static const std::string coefficients = shown(messages::coefficientPrompt) + "\n" +
        shown(messages::coefficientHint) + "\n" + messages::inputMark + "\n";
    static const std::string notRead = shown(messages::coefficientsNotRead) + "\n";
    static const std::string rootsHeading = shown(messages::rootsHeading) + "\n";
    static const std::string notConverged = shown(messages::notConverged);
    static const std::string stepCount = shown(messages::stepCountLabel);
    static const std::string closing = shown(messages::closingPrompt);

    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::ostringstream out;
    runDialogue(in, out);

    Reader transcript(out.str());
    require(transcript.take(title));
    require(transcript.take(orderPrompt));
    while (transcript.take(orderTooLarge))
        require(transcript.take(orderPrompt));
    require(transcript.take(coefficients));
    transcript.take(notRead);
    require(transcript.take(rootsHeading));
    // Once a root carries the remark, every root after it does.
    bool remarked = false;
    for (int k = 1; transcript.take("x"); ++k) {
        require(k <= tableSize - 1);
        require(transcript.number() == k);
        require(transcript.take("="));
        transcript.number();
        require(transcript.take(" "));
        transcript.number();
        require(transcript.take("i"));
        const bool remark = transcript.take(notConverged);
        require(remark || !remarked);
        remarked = remark;
        require(transcript.take("\n"));
    }
    require(transcript.take(stepCount));
    const double steps = transcript.number();
    require(steps >= 0 && steps <= stepBudget);
    require(transcript.take("\n"));
    require(transcript.take(closing));
    require(transcript.atEnd());
    return 0;
}
