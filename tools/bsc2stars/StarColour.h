// The colour of a star from its B-V colour index: B-V to effective temperature
// (Ballesteros 2012, EPL 97 34008), then the colour of a black body at that
// temperature in sRGB, from Planck's law and the CIE 1931 colour-matching
// functions in the analytic fit of Wyman, Sloan & Shirley (2013, JCGT 2(2)).
#pragma once
#include <cstdint>

struct StarRGB {
    double r, g, b;  // linear-light sRGB scaled so the largest channel is 1, then gamma-encoded, 0..1
};

double TemperatureFromBV(double bMinusV);  // kelvin
StarRGB BlackBodyRGB(double kelvin);
// 16-bit channels: the black-body colour at the brightness the apparent magnitude gives.
void StarColour16(double magnitude, double bMinusV, uint16_t rgb[3]);
// Grey at that brightness, for stars without a colour index.
uint16_t StarGrey16(double magnitude);
