// Orientation frames in 16.16 fixed point and the small vector helpers around them.
#pragma once
#include "core/Records.h"

void Cross(double out[3], const double a[3], const double b[3]);
void RotateIJKAboutK(IJK& f, double angle);
void RotateIJKAboutJ(IJK& f, double angle);
void RotateIJKAboutI(IJK& f, double angle);
void RotateIJKAboutZ(IJK& f, double angle);
void OrthonormalizeIJK(IJK& f);
void RelativeIJK(IJK* out, const IJK* a, const IJK* b);
void NestedIJK(IJK* out, const IJK* a, const IJK* b);
void LoadIJKWithVects(IJK* f, const double* vi, const double* vj, const double* vk);
void LocalIJKVectToGlobal(double* out, const double* v, const IJK* f);
void BuildBodyAxes(IJK& f, double theta, double phi, double spin);
void SetIdentityIJK(IJK& f);
