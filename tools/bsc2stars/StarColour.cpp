#include "tools/bsc2stars/StarColour.h"

#include <algorithm>
#include <cmath>

namespace {

// Piecewise Gaussian of the colour-matching fit: different widths either side of the peak.
double Lobe(double lambda, double mu, double sigmaBelow, double sigmaAbove) {
    const double t = (lambda - mu) / (lambda < mu ? sigmaBelow : sigmaAbove);
    return std::exp(-0.5 * t * t);
}

double Planck(double lambdaNm, double kelvin) {
    constexpr double h = 6.62607015e-34, c = 2.99792458e8, k = 1.380649e-23;
    const double l = lambdaNm * 1e-9;
    return 1.0 / (l * l * l * l * l * (std::exp(h * c / (l * k * kelvin)) - 1.0));
}

double Gamma(double linear) {
    linear = std::clamp(linear, 0.0, 1.0);
    return linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1.0 / 2.4) - 0.055;
}

}  // namespace

double TemperatureFromBV(double bv) { return 4600.0 * (1.0 / (0.92 * bv + 1.7) + 1.0 / (0.92 * bv + 0.62)); }

StarRGB BlackBodyRGB(double kelvin) {
    double X = 0, Y = 0, Z = 0;
    for (double lambda = 380.0; lambda <= 780.0; lambda += 5.0) {
        const double p = Planck(lambda, kelvin);
        X += p * (1.056 * Lobe(lambda, 599.8, 37.9, 31.0) + 0.362 * Lobe(lambda, 442.0, 16.0, 26.7) -
                  0.065 * Lobe(lambda, 501.1, 20.4, 26.2));
        Y += p * (0.821 * Lobe(lambda, 568.8, 46.9, 40.5) + 0.286 * Lobe(lambda, 530.9, 16.3, 31.1));
        Z += p * (1.217 * Lobe(lambda, 437.0, 11.8, 36.0) + 0.681 * Lobe(lambda, 459.0, 26.0, 13.8));
    }
    // XYZ to linear sRGB (IEC 61966-2-1, D65).
    double r = 3.2406 * X - 1.5372 * Y - 0.4986 * Z;
    double g = -0.9689 * X + 1.8758 * Y + 0.0415 * Z;
    double b = 0.0557 * X - 0.2040 * Y + 1.0570 * Z;
    // Outside the gamut (very red or very blue stars): desaturate toward grey rather than clip a hue away.
    const double least = std::min({r, g, b});
    if (least < 0) r -= least, g -= least, b -= least;
    const double most = std::max({r, g, b});
    if (!(most > 0)) return {1, 1, 1};
    return {Gamma(r / most), Gamma(g / most), Gamma(b / most)};
}

uint16_t StarGrey16(double magnitude) {
    const double level = 21845.0 * std::pow(10.0, -0.4 * (magnitude - 1.0));
    return uint16_t(std::clamp(level, 1500.0, 65535.0));
}

void StarColour16(double magnitude, double bMinusV, uint16_t rgb[3]) {
    const double level = StarGrey16(magnitude);
    const StarRGB c = BlackBodyRGB(TemperatureFromBV(std::clamp(bMinusV, -0.4, 2.0)));
    const double channel[3] = {c.r, c.g, c.b};
    for (int i = 0; i < 3; ++i) rgb[i] = uint16_t(std::clamp(level * channel[i], 0.0, 65535.0));
}
