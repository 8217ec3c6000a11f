// Complex numbers as the program computes, reads and writes them.
#pragma once

#include <istream>

// A complex number of two single-precision parts. Every operation rounds each
// part of its result to float, so that a run gives the same digits on every
// compiler and processor.
class Complex {
public:
    constexpr Complex() = default;
    constexpr Complex(float real, float imag = 0.0f) : re(real), im(imag) {}

    constexpr float real() const { return re; }
    constexpr float imag() const { return im; }

    Complex& operator+=(const Complex& b);
    Complex& operator-=(const Complex& b);
    Complex& operator*=(const Complex& b);
    // The textbook formula, unscaled: a divisor of norm 0 gives inf or nan parts.
    Complex& operator/=(const Complex& b);

private:
    float re = 0.0f;
    float im = 0.0f;
};

inline Complex operator+(Complex a, const Complex& b) { return a += b; }
inline Complex operator-(Complex a, const Complex& b) { return a -= b; }
inline Complex operator*(Complex a, const Complex& b) { return a *= b; }
inline Complex operator/(Complex a, const Complex& b) { return a /= b; }

float norm(const Complex& a);
// The square root of the norm, taken in double precision.
double modulus(const Complex& a);
bool isFinite(const Complex& a);

// Reads "r", "(r)" or "(r,m)", whitespace allowed before every token. On a
// malformed or missing value the stream is left failed and target keeps its
// value.
std::istream& readComplex(std::istream& in, Complex& target);
