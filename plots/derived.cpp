#include "plots/derived.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>
#include <numeric>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kInf = std::numeric_limits<double>::infinity();

std::complex<double> Eigen(const EigenStep& s, size_t i) { return {s.re[i], std::fabs(s.im[i])}; }

bool Finite(const EigenStep& s, size_t i) { return std::isfinite(s.re[i]) && std::isfinite(s.im[i]); }

bool Same(std::complex<double> a, std::complex<double> b) {
    return std::abs(a - b) <= 1e-6 * std::max(std::abs(a), std::abs(b));
}

}  // namespace

double WhirlRpm(double im) { return std::fabs(im) * 30.0 / kPi; }

double LogDecrement(double re, double im) {
    const double w = std::fabs(im);
    return w > 0 ? -2.0 * kPi * re / w : std::numeric_limits<double>::quiet_NaN();
}

std::vector<WhirlCurve> FollowModes(const std::vector<EigenStep>& steps) {
    std::vector<WhirlCurve> curves;
    std::vector<int> curveOf;  // curve of each eigenvalue of the previous step
    for (size_t s = 0; s < steps.size(); ++s) {
        const EigenStep& b = steps[s];
        std::vector<int> next(b.re.size(), -1);
        if (s > 0) {
            const EigenStep& a = steps[s - 1];
            const size_t na = a.re.size(), nb = b.re.size();
            std::vector<double> d(na * nb, kInf);
            struct Pair {
                double d;
                size_t i, j;
            };
            std::vector<Pair> pairs;
            for (size_t i = 0; i < na; ++i)
                for (size_t j = 0; j < nb; ++j)
                    if (Finite(a, i) && Finite(b, j)) {
                        d[i * nb + j] = std::abs(Eigen(a, i) - Eigen(b, j));
                        pairs.push_back({d[i * nb + j], i, j});
                    }
            std::stable_sort(pairs.begin(), pairs.end(), [](const Pair& x, const Pair& y) { return x.d < y.d; });
            std::vector<bool> usedA(na, false), usedB(nb, false);
            for (const Pair& p : pairs) {
                if (usedA[p.i] || usedB[p.j]) continue;
                // Rivals: other eigenvalues of either step that differ from
                // the partner and lie within twice the distance.
                bool clear = true;
                for (size_t j = 0; j < nb && clear; ++j)
                    if (j != p.j && !Same(Eigen(b, j), Eigen(b, p.j)) && d[p.i * nb + j] < 2.0 * p.d) clear = false;
                for (size_t i = 0; i < na && clear; ++i)
                    if (i != p.i && !Same(Eigen(a, i), Eigen(a, p.i)) && d[i * nb + p.j] < 2.0 * p.d) clear = false;
                if (!clear) continue;
                usedA[p.i] = usedB[p.j] = true;
                next[p.j] = curveOf[p.i];
                curves[static_cast<size_t>(curveOf[p.i])].index.push_back(static_cast<int>(p.j));
            }
        }
        for (size_t j = 0; j < b.re.size(); ++j)
            if (next[j] < 0) {
                next[j] = static_cast<int>(curves.size());
                curves.push_back({static_cast<int>(s), {static_cast<int>(j)}});
            }
        curveOf = std::move(next);
    }
    return curves;
}

std::vector<Crossing> SynchronousCrossings(const std::vector<EigenStep>& steps) {
    std::vector<Crossing> out;
    auto sorted = [](const EigenStep& s) {
        std::vector<double> f;
        for (size_t i = 0; i < s.im.size(); ++i)
            if (std::isfinite(s.im[i])) f.push_back(WhirlRpm(s.im[i]));
        std::sort(f.begin(), f.end());
        return f;
    };
    for (size_t s = 0; s + 1 < steps.size(); ++s) {
        const std::vector<double> fa = sorted(steps[s]), fb = sorted(steps[s + 1]);
        const double sa = steps[s].speed, sb = steps[s + 1].speed;
        for (size_t k = 0; k < std::min(fa.size(), fb.size()); ++k) {
            const double ga = fa[k] - sa, gb = fb[k] - sb;
            if ((ga < 0) == (gb < 0)) continue;
            const double speed = sa + (sb - sa) * ga / (ga - gb);
            const bool seen = std::any_of(out.begin(), out.end(), [&](const Crossing& c) {
                return std::fabs(c.speed - speed) < 0.5 * std::fabs(sb - sa);
            });
            if (!seen) out.push_back({speed});
        }
    }
    return out;
}

bool OnsetOfInstability(const std::vector<EigenStep>& steps, double& speed) {
    double prev = kInf;
    for (size_t s = 0; s < steps.size(); ++s) {
        double least = kInf;
        for (size_t i = 0; i < steps[s].re.size(); ++i) {
            const double dec = LogDecrement(steps[s].re[i], steps[s].im[i]);
            if (std::isfinite(dec)) least = std::min(least, dec);
        }
        if (!std::isfinite(least)) continue;
        if (least <= 0) {
            if (s == 0 || !std::isfinite(prev)) {
                speed = steps[s].speed;
                return false;
            }
            const double sa = steps[s - 1].speed, sb = steps[s].speed;
            speed = sa + (sb - sa) * prev / (prev - least);
            return true;
        }
        prev = least;
    }
    return false;
}

double SweptArea(const std::vector<float>& x, const std::vector<float>& y) {
    double a = 0;
    const size_t n = std::min(x.size(), y.size());
    for (size_t i = 0; i < n; ++i) {
        const size_t j = (i + 1) % n;
        a += static_cast<double>(x[i]) * y[j] - static_cast<double>(x[j]) * y[i];
    }
    return a;
}

std::vector<int> Peaks(const std::vector<double>& y, int most) {
    struct Peak {
        int i;
        double prominence;
    };
    std::vector<Peak> found;
    const size_t n = y.size();
    for (size_t i = 1; i + 1 < n; ++i) {
        if (!std::isfinite(y[i]) || !(y[i] > 0) || !(y[i] >= y[i - 1]) || !(y[i] > y[i + 1])) continue;
        // The lowest value on either side before the curve rises above the peak.
        double left = y[i], right = y[i];
        for (size_t j = i; j-- > 0 && !(y[j] > y[i]);)
            if (std::isfinite(y[j])) left = std::min(left, y[j]);
        for (size_t j = i + 1; j < n && !(y[j] > y[i]); ++j)
            if (std::isfinite(y[j])) right = std::min(right, y[j]);
        const double base = std::max(left, right);
        if (y[i] >= 1.5 * base) found.push_back({static_cast<int>(i), y[i] - base});
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const Peak& a, const Peak& b) { return a.prominence > b.prominence; });
    std::vector<int> out;
    for (size_t k = 0; k < found.size() && static_cast<int>(k) < most; ++k) out.push_back(found[k].i);
    return out;
}
