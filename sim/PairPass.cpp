#include "sim/PairPass.h"

#include <limits>
#include <vector>

#include "sim/ForceLaw.h"

namespace {
constexpr double kInf = std::numeric_limits<double>::infinity();

// Structure-of-arrays copy of the pair-loop inputs and outputs. It grows with the
// body count and is never released, so a push allocates nothing in steady state.
struct PairScratch {
    std::vector<double> x, y, z, m, ax, ay, az, pot, nd;
    std::vector<int32_t> ni;
    std::vector<int32_t> live;  // indices of live bodies, descending
    void Reserve(size_t n) {
        if (x.size() >= n) return;
        for (auto* v : {&x, &y, &z, &m, &ax, &ay, &az, &pot, &nd}) v->resize(n);
        ni.resize(n);
        live.resize(n);
    }
};
thread_local PairScratch scratch;

// Loads positions (from the records, or from pos when given) and masses; returns the live count.
int32_t LoadScratch(const BodyRTListStruct* list, const Vec3* pos) {
    int32_t n = list->count;
    scratch.Reserve(size_t(n) + 1);
    PairScratch& s = scratch;
    int32_t nLive = 0;
    for (int32_t i = n - 1; i >= 0; --i) {
        const BodyRTStruct& b = list->body[i];
        const double* p = pos ? pos[i].data() : b.pos;
        s.x[i] = p[0];
        s.y[i] = p[1];
        s.z[i] = p[2];
        s.m[i] = b.mass;
        s.ax[i] = s.ay[i] = s.az[i] = s.pot[i] = 0.0;
        s.nd[i] = kInf;
        s.ni[i] = -1;
        if (IsLiveBody(b)) s.live[nLive++] = i;
    }
    return nLive;
}

// Every unordered live pair once but those of two particles, i descending and j descending
// below i. The first pass of a push also sums potentials and keeps the strictly nearest
// massive neighbour (the first one met among equals).
template <bool kWithPotentialAndNearest>
void PairLoop(int32_t nLive, const ForceLaw& law) {
    PairScratch& s = scratch;
    double* x = s.x.data(); double* y = s.y.data(); double* z = s.z.data(); double* m = s.m.data();
    double* ax = s.ax.data(); double* ay = s.ay.data(); double* az = s.az.data();
    double* pot = s.pot.data(); double* nd = s.nd.data(); int32_t* ni = s.ni.data();
    const int32_t* live = s.live.data();
    for (int32_t li = 0; li < nLive; ++li) {
        int32_t i = live[li];
        double xi = x[i], yi = y[i], zi = z[i], mi = m[i];
        double axi = ax[i], ayi = ay[i], azi = az[i], pi = pot[i], ndi = nd[i];
        int32_t nii = ni[i];
        const bool iMassive = mi != 0.0;
        for (int32_t lj = li + 1; lj < nLive; ++lj) {
            int32_t j = live[lj];
            const bool jMassive = m[j] != 0.0;
            if (!iMassive && !jMassive) continue;
            double d0 = xi - x[j], d1 = yi - y[j], d2 = zi - z[j];
            double r2 = d0 * d0 + d1 * d1 + d2 * d2;
            if (r2 != 0.0) {  // coincident live bodies exert no force on each other
                double f, u = 0.0;
                if constexpr (kWithPotentialAndNearest) law.Eval(r2, f, u);
                else f = law.PairFactor(r2);
                double fj = f * m[j], fi = f * mi;
                axi -= fj * d0; ayi -= fj * d1; azi -= fj * d2;
                ax[j] += fi * d0; ay[j] += fi * d1; az[j] += fi * d2;
                if constexpr (kWithPotentialAndNearest) {
                    pi += u * m[j];
                    pot[j] += u * mi;
                }
            }
            if constexpr (kWithPotentialAndNearest) {
                if (jMassive && r2 < ndi) { ndi = r2; nii = j; }
                if (iMassive && r2 < nd[j]) { nd[j] = r2; ni[j] = i; }
            }
        }
        ax[i] = axi; ay[i] = ayi; az[i] = azi; pot[i] = pi; nd[i] = ndi; ni[i] = nii;
    }
}
}  // namespace

void ScalarGravityPairPass(BodyRTListStruct* list, bool useFastPath) {
    int32_t nLive = LoadScratch(list, nullptr);
    PairLoop<true>(nLive, ForceLaw(useFastPath));
    const PairScratch& s = scratch;
    for (int32_t i = list->count - 1; i >= 0; --i) {
        BodyRTStruct& b = list->body[i];
        b.acc[0] = s.ax[i]; b.acc[1] = s.ay[i]; b.acc[2] = s.az[i];
        b.potential = s.pot[i];
        b.nearestDistSq = s.nd[i];
        b.nearestIndex = s.ni[i];
    }
}

void ScalarStageAccelerations(const BodyRTListStruct* list, const Vec3* pos, Vec3* acc) {
    int32_t nLive = LoadScratch(list, pos);
    PairLoop<false>(nLive, ForceLaw(true));
    const PairScratch& s = scratch;
    for (int32_t i = list->count - 1; i >= 0; --i) acc[i] = Vec3{s.ax[i], s.ay[i], s.az[i]};
}
