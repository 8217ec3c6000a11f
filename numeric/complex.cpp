// Complex arithmetic rounded to float at every step; numbers read, written.
#include "complex.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>

// The digits are defined by float arithmetic rounded at every step; a wider
// evaluation, such as the x87 stack's, would change them.
static_assert(FLT_EVAL_METHOD == 0, "float arithmetic must be evaluated in float: on 32-bit x86, use SSE");

// Each product and each sum is held in a float of its own: that is the
// rounding the results are defined by.

Complex& Complex::operator+=(const Complex& b)
{
    re = re + b.re;
    im = im + b.im;
    return *this;
}

Complex& Complex::operator-=(const Complex& b)
{
    re = re - b.re;
    im = im - b.im;
    return *this;
}

Complex& Complex::operator*=(const Complex& b)
{
    const float rr = re * b.re;
    const float ii = im * b.im;
    const float ri = re * b.im;
    const float ir = im * b.re;
    re = rr - ii;
    im = ri + ir;
    return *this;
}

Complex& Complex::operator/=(const Complex& b)
{
    const float brbr = b.re * b.re;
    const float bibi = b.im * b.im;
    const float d = brbr + bibi;
    const float rr = re * b.re;
    const float ii = im * b.im;
    const float ir = im * b.re;
    const float ri = re * b.im;
    const float realNumerator = rr + ii;
    const float imagNumerator = ir - ri;
    re = realNumerator / d;
    im = imagNumerator / d;
    return *this;
}

float norm(const Complex& a)
{
    const float rr = a.real() * a.real();
    const float ii = a.imag() * a.imag();
    return rr + ii;
}

double modulus(const Complex& a) { return std::sqrt(static_cast<double>(norm(a))); }

bool isFinite(const Complex& a) { return std::isfinite(a.real()) && std::isfinite(a.imag()); }

namespace {

// The significant digits a number keeps; the rest count only as a nonzero
// digit beyond them, enough for strtof to round as with them all.
constexpr std::size_t keptDigits = 200;
// The exponent as written is held up to this, far beyond the scale any
// number of digits can give, and their sum up to scaleLimit, beyond which
// every number is 0 or out of range.
constexpr long long exponentLimit = 1000000000000000;
constexpr long long scaleLimit = 1000000000;

// Reads one number as GCC's C++ library extracts a float in the C locale, the
// same with every library: whitespace skipped, then an optional sign, digits
// with an optional point among them, an optional exponent (e or E, an
// optional sign, digits) after at least one digit. The characters that fit
// that form are taken from the stream; where they are no number, or one
// beyond the float range, the stream is left failed and value as it was.
// Below the range the value rounds to a subnormal number or 0.
bool readNumber(std::istream& in, float& value)
{
    const std::istream::sentry skipped(in);
    if (!skipped)
        return false;
    std::streambuf& source = *in.rdbuf();
    int c = source.sgetc();
    const auto take = [&] { c = source.snextc(); };
    // The number as digits times a power of ten: "-123e-4", no locale in it.
    char number[1 + keptDigits + 1 + 1 + 24];
    std::size_t length = 0;
    long long scale = 0;
    if (c == '+' || c == '-') {
        if (c == '-')
            number[length++] = '-';
        take();
    }
    const std::size_t first = length;
    bool digits = false, point = false, beyond = false;
    for (;; take()) {
        if (c == '.' && !point) {
            point = true;
            continue;
        }
        if (c < '0' || c > '9')
            break;
        digits = true;
        if (c == '0' && length == first) {
            scale -= point; // a leading zero
        } else if (length - first < keptDigits) {
            number[length++] = static_cast<char>(c);
            scale -= point;
        } else {
            beyond = beyond || c != '0';
            scale += !point;
        }
    }
    bool exponentRead = true;
    long long exponent = 0;
    if ((c == 'e' || c == 'E') && digits) {
        take();
        const bool negative = c == '-';
        if (c == '+' || c == '-')
            take();
        exponentRead = c >= '0' && c <= '9';
        while (c >= '0' && c <= '9') {
            exponent = std::min(exponent * 10 + (c - '0'), exponentLimit);
            take();
        }
        exponent = negative ? -exponent : exponent;
    }
    if (c == std::char_traits<char>::eof())
        in.setstate(std::ios::eofbit);
    if (!digits || !exponentRead) {
        in.setstate(std::ios::failbit);
        return false;
    }
    if (length == first) {
        value = length > 0 ? -0.0f : 0.0f;
        return true;
    }
    if (beyond) {
        number[length++] = '1';
        --scale;
    }
    std::snprintf(number + length, sizeof number - length, "e%lld", std::clamp(scale + exponent, -scaleLimit, scaleLimit));
    const float read = std::strtof(number, nullptr);
    if (std::isinf(read)) {
        in.setstate(std::ios::failbit);
        return false;
    }
    value = read;
    return true;
}

} // namespace

std::istream& readComplex(std::istream& in, Complex& target)
{
    float r = 0.0f;
    float m = 0.0f;
    char c = 0;
    if (in >> c) {
        if (c == '(') {
            if (readNumber(in, r))
                in >> c;
            if (c == ',' && readNumber(in, m))
                in >> c;
            // A failed read leaves c at its last value, never ')'.
            if (c != ')')
                in.setstate(std::ios::failbit);
        } else {
            in.putback(c);
            readNumber(in, r);
        }
    }
    if (!in.fail())
        target = Complex(r, m);
    return in;
}
