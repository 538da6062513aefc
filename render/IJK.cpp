#include "render/IJK.h"

#include <cmath>
#include <cstdint>

namespace {
constexpr double kInvFixed = 1.52587890625e-5;  // 1/65536

// Toward zero like a cast, but NaN gives 0 and values beyond 32 bits saturate: a cast of
// either is undefined behaviour.
inline int32_t Trunc(double v) {
    if (!(v == v)) return 0;
    if (v >= 2147483647.0) return INT32_MAX;
    if (v <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(v);
}

// Turns the pair (a, b): new b = co*b - si*a; new a = co*a + si*b.
void TurnPair(int32_t* a, int32_t* b, double angle) {
    double co = std::cos(angle), si = std::sin(angle);
    for (int n = 0; n < 3; ++n) {
        double oa = a[n], ob = b[n];
        b[n] = Trunc(co * ob - si * oa);
        a[n] = Trunc(co * oa + si * ob);
    }
}

void CrossFixed(int32_t* out, const int32_t* a, const int32_t* b) {
    double x = (double(a[1]) * b[2] - double(a[2]) * b[1]) * kInvFixed;
    double y = (double(a[2]) * b[0] - double(a[0]) * b[2]) * kInvFixed;
    double z = (double(a[0]) * b[1] - double(a[1]) * b[0]) * kInvFixed;
    out[0] = Trunc(x);
    out[1] = Trunc(y);
    out[2] = Trunc(z);
}

void Rescale(int32_t* v) {
    double len = std::sqrt(double(v[0]) * v[0] + double(v[1]) * v[1] + double(v[2]) * v[2]);
    double s = 65536.0 / len;
    for (int n = 0; n < 3; ++n) v[n] = Trunc(v[n] * s);
}

double Dot(const int32_t* a, const int32_t* b) {
    return double(a[0]) * b[0] + double(a[1]) * b[1] + double(a[2]) * b[2];
}
}  // namespace

void Cross(double out[3], const double a[3], const double b[3]) {
    double x = a[1] * b[2] - a[2] * b[1];
    double y = a[2] * b[0] - a[0] * b[2];
    double z = a[0] * b[1] - a[1] * b[0];
    out[0] = x;
    out[1] = y;
    out[2] = z;
}

void RotateIJKAboutK(IJK& f, double angle) { TurnPair(f.i, f.j, angle); }
void RotateIJKAboutJ(IJK& f, double angle) { TurnPair(f.k, f.i, angle); }
void RotateIJKAboutI(IJK& f, double angle) { TurnPair(f.j, f.k, angle); }

void RotateIJKAboutZ(IJK& f, double angle) {
    double co = std::cos(angle), si = std::sin(angle);
    int32_t* vs[3] = {f.k, f.j, f.i};
    for (int32_t* v : vs) {
        double x = v[0], y = v[1];
        v[1] = Trunc(co * y + si * x);
        v[0] = Trunc(co * x - si * y);
    }
}

void OrthonormalizeIJK(IJK& f) {
    CrossFixed(f.i, f.j, f.k);
    CrossFixed(f.j, f.k, f.i);
    Rescale(f.k);
    Rescale(f.j);
    Rescale(f.i);
}

void RelativeIJK(IJK* out, const IJK* a, const IJK* b) {
    if (!out || !a || !b) return;
    IJK r;
    const int32_t* av[3] = {a->i, a->j, a->k};
    int32_t* ov[3] = {r.i, r.j, r.k};
    for (int v = 0; v < 3; ++v) {
        ov[v][0] = Trunc(Dot(av[v], b->i) * kInvFixed);
        ov[v][1] = Trunc(Dot(av[v], b->j) * kInvFixed);
        ov[v][2] = Trunc(Dot(av[v], b->k) * kInvFixed);
    }
    *out = r;
}

void NestedIJK(IJK* out, const IJK* a, const IJK* b) {
    if (!out || !a || !b) return;
    IJK r;
    const int32_t* av[3] = {a->i, a->j, a->k};
    int32_t* ov[3] = {r.i, r.j, r.k};
    for (int v = 0; v < 3; ++v)
        for (int n = 0; n < 3; ++n)
            ov[v][n] = Trunc((double(av[v][0]) * b->i[n] + double(av[v][1]) * b->j[n] +
                              double(av[v][2]) * b->k[n]) * kInvFixed);
    *out = r;
}

void LoadIJKWithVects(IJK* f, const double* vi, const double* vj, const double* vk) {
    if (!f || !vi || !vj || !vk) return;
    const double* src[3] = {vi, vj, vk};
    int32_t* dst[3] = {f->i, f->j, f->k};
    for (int v = 0; v < 3; ++v) {
        double len = std::sqrt(src[v][0] * src[v][0] + src[v][1] * src[v][1] + src[v][2] * src[v][2]);
        double s = 65536.0 / len;
        for (int n = 0; n < 3; ++n) dst[v][n] = Trunc(src[v][n] * s);
    }
    OrthonormalizeIJK(*f);
}

void LocalIJKVectToGlobal(double* out, const double* v, const IJK* f) {
    if (!out || !v || !f) return;
    double r[3];
    for (int n = 0; n < 3; ++n) r[n] = (v[0] * f->i[n] + v[1] * f->j[n] + v[2] * f->k[n]) * kInvFixed;
    out[0] = r[0];
    out[1] = r[1];
    out[2] = r[2];
}

void BuildBodyAxes(IJK& f, double theta, double phi, double spin) {
    double k[3] = {std::sin(theta) * std::cos(phi), std::sin(theta) * std::sin(phi), std::cos(theta)};
    double j[3] = {-k[1], k[0], 0.0};
    double jj = j[0] * j[0] + j[1] * j[1];
    if (jj > 0.0) {
        double l = std::sqrt(jj);
        j[0] /= l;
        j[1] /= l;
    } else {
        j[0] = 0.0;
        j[1] = 1.0;
    }
    double i[3];
    Cross(i, j, k);
    LoadIJKWithVects(&f, i, j, k);
    if (spin != 0.0) RotateIJKAboutK(f, spin);
    OrthonormalizeIJK(f);
}

void SetIdentityIJK(IJK& f) {
    f = IJK{{kFixedOne, 0, 0}, {0, kFixedOne, 0}, {0, 0, kFixedOne}};
}
