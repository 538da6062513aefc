// The force law G·m·r^(p-1)·d and its potential, with the inverse-square law on a fast path.
#pragma once
#include <cmath>

#include "core/Records.h"
#include "sim/PushContext.h"

struct ForceLaw {
    double g, accExp, potExp, potDiv;
    bool logPotential, inverseSquare;
    bool fastPaths;  // false: every exponent through log and exp
    explicit ForceLaw(bool allowFast) : fastPaths(allowFast) {
        const SettingsStruct& s = PushSettings();
        double p = s.powerLaw;
        g = s.gravConstant;
        accExp = p / 2 - 0.5;
        potExp = p / 2 + 0.5;
        potDiv = p + 1;
        logPotential = (p == -1.0);
        inverseSquare = allowFast && p == -2.0;
    }
    // f = G r^(p-1) and the potential factor u, from one distance evaluation.
    inline void Eval(double r2, double& f, double& u) const {
        if (inverseSquare) {
            double r = std::sqrt(r2);
            double inv = 1.0 / r;
            u = -g * inv;
            f = g * inv / r2;
            return;
        }
        double lr2 = std::log(r2);
        f = g * std::exp(accExp * lr2);
        u = logPotential ? g * 0.5 * lr2 : g * std::exp(potExp * lr2) / potDiv;
    }
    // f alone, bit for bit the f of Eval.
    inline double PairFactor(double r2) const {
        if (inverseSquare) return g * (1.0 / std::sqrt(r2)) / r2;
        return g * std::exp(accExp * std::log(r2));
    }
    inline double AccFactor(double r2) const {
        if (inverseSquare) return g / (r2 * std::sqrt(r2));
        return g * std::exp(accExp * std::log(r2));
    }
};
