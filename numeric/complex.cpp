#include "complex.h"

#include <cfloat>
#include <cmath>

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

std::istream& readComplex(std::istream& in, Complex& target)
{
    float r = 0.0f;
    float m = 0.0f;
    char c = 0;
    if (in >> c) {
        if (c == '(') {
            in >> r >> c;
            if (c == ',')
                in >> m >> c;
            // A failed read leaves c at its last value, never ')'.
            if (c != ')')
                in.setstate(std::ios::failbit);
        } else {
            in.putback(c);
            in >> r;
        }
    }
    if (!in.fail())
        target = Complex(r, m);
    return in;
}
