// Eigenvalues of a real general matrix: balancing, Householder reduction to
// upper Hessenberg form and the shifted double-step QR iteration.
#include <algorithm>
#include <cmath>
#include <utility>

#include "subs99/numerics.h"

namespace {
// Rows handled per block where a row-oriented sum is gathered column by
// column into a buffer on the stack.
constexpr int ROWBLOCK = 512;

double SignOf(double a, double b) { return b >= 0.0 ? std::fabs(a) : -std::fabs(a); }

// Exchanges rows and columns j and m: columns over rows 1 .. l, rows over
// columns k .. n.
void Exchange(Mat<double> a, int n, int j, int m, int k, int l) {
    if (j == m) return;
    double* cj = a.col(j);
    double* cm = a.col(m);
    for (int i = 0; i < l; ++i) std::swap(cj[i], cm[i]);
    for (int i = k; i <= n; ++i) std::swap(a(j, i), a(m, i));
}
}  // namespace

void BalanceMatrix(Mat<double> a, int n, int& low, int& igh, double* scale, double radix) {
    const double b2 = radix * radix;
    int k = 1;
    int l = n;

    // Rows isolating an eigenvalue are pushed down.
    for (bool again = true; again && l >= 1;) {
        again = false;
        for (int j = l; j >= 1; --j) {
            bool isolated = true;
            for (int i = 1; i <= l; ++i) {
                if (i != j && a(j, i) != 0.0) {
                    isolated = false;
                    break;
                }
            }
            if (!isolated) continue;
            scale[l - 1] = j;
            Exchange(a, n, j, l, k, l);
            if (l == 1) {
                low = k;
                igh = l;
                return;
            }
            --l;
            again = true;
            break;
        }
    }
    // Columns isolating an eigenvalue are pushed left.
    for (bool again = true; again;) {
        again = false;
        for (int j = k; j <= l; ++j) {
            const double* cj = a.col(j);
            bool isolated = true;
            for (int i = k; i <= l; ++i) {
                if (i != j && cj[i - 1] != 0.0) {
                    isolated = false;
                    break;
                }
            }
            if (!isolated) continue;
            scale[k - 1] = j;
            Exchange(a, n, j, k, k, l);
            ++k;
            again = true;
            break;
        }
    }

    // Diagonal scaling by powers of the radix until a pass changes nothing.
    for (int i = k; i <= l; ++i) scale[i - 1] = 1.0;
    for (bool noconv = true; noconv;) {
        noconv = false;
        for (int i = k; i <= l; ++i) {
            double c = 0.0;
            double r = 0.0;
            const double* ci = a.col(i);
            for (int j = k; j <= l; ++j) {
                if (j == i) continue;
                c += std::fabs(ci[j - 1]);
                r += std::fabs(a(i, j));
            }
            if (c == 0.0 || r == 0.0) continue;
            // An infinite sum is left alone: the search for f would not end.
            if (!std::isfinite(c) || !std::isfinite(r)) continue;
            double g = r / radix;
            double f = 1.0;
            const double s = c + r;
            while (c < g) {
                f *= radix;
                c *= b2;
            }
            g = r * radix;
            while (c >= g) {
                f /= radix;
                c /= b2;
            }
            if ((c + r) / f < 0.95 * s) {
                g = 1.0 / f;
                scale[i - 1] *= f;
                noconv = true;
                for (int j = k; j <= n; ++j) a(i, j) *= g;
                double* cw = a.col(i);
                for (int j = 0; j < l; ++j) cw[j] *= f;
            }
        }
    }
    low = k;
    igh = l;
}

namespace {
// Householder vector u (in ort(m .. igh)) that annihilates column m-1 below
// row m; false when that part of the column is zero.
bool HouseholderVector(const double* cprev, int m, int igh, double* ort, double& scale, double& h,
                       double& g) {
    ort[m - 1] = 0.0;
    scale = 0.0;
    for (int i = m; i <= igh; ++i) scale += std::fabs(cprev[i - 1]);
    if (scale == 0.0) return false;
    h = 0.0;
    for (int i = igh; i >= m; --i) {
        ort[i - 1] = cprev[i - 1] / scale;
        h += ort[i - 1] * ort[i - 1];
    }
    g = -SignOf(std::sqrt(h), ort[m - 1]);
    h -= ort[m - 1] * g;
    ort[m - 1] -= g;
    return true;
}

// The reduction step by step, one pass over the matrix per sum; used for
// orders beyond the buffers of the single-pass form.
void ReduceByPasses(Mat<double> a, int n, int low, int igh, double* ort) {
    double fbuf[ROWBLOCK];
    for (int m = low + 1; m <= igh - 1; ++m) {
        double scale, h, g;
        if (!HouseholderVector(a.col(m - 1), m, igh, ort, scale, h, g)) continue;
        const double* u = ort;

        // (I - u u'/h) A on columns m .. n: each column's sum runs over
        // i = igh down to m; four columns are summed side by side.
        int j = m;
        for (; j + 3 <= n; j += 4) {
            double* c0 = a.col(j);
            double* c1 = a.col(j + 1);
            double* c2 = a.col(j + 2);
            double* c3 = a.col(j + 3);
            double f0 = 0.0, f1 = 0.0, f2 = 0.0, f3 = 0.0;
            for (int i = igh - 1; i >= m - 1; --i) {
                const double ui = u[i];
                f0 += ui * c0[i];
                f1 += ui * c1[i];
                f2 += ui * c2[i];
                f3 += ui * c3[i];
            }
            f0 /= h;
            f1 /= h;
            f2 /= h;
            f3 /= h;
            for (int i = m - 1; i < igh; ++i) {
                const double ui = u[i];
                c0[i] -= f0 * ui;
                c1[i] -= f1 * ui;
                c2[i] -= f2 * ui;
                c3[i] -= f3 * ui;
            }
        }
        for (; j <= n; ++j) {
            double* cj = a.col(j);
            double f = 0.0;
            for (int i = igh - 1; i >= m - 1; --i) f += u[i] * cj[i];
            f /= h;
            for (int i = m - 1; i < igh; ++i) cj[i] -= f * u[i];
        }

        // A (I - u u'/h) on rows 1 .. igh: each row's sum runs over
        // j = igh down to m, gathered column by column for a block of rows.
        for (int r0 = 0; r0 < igh; r0 += ROWBLOCK) {
            const int r1 = std::min(igh, r0 + ROWBLOCK);
            const int nr = r1 - r0;
            for (int i = 0; i < nr; ++i) fbuf[i] = 0.0;
            for (int jj = igh; jj >= m; --jj) {
                const double uj = u[jj - 1];
                const double* cj = a.col(jj) + r0;
                for (int i = 0; i < nr; ++i) fbuf[i] += uj * cj[i];
            }
            for (int i = 0; i < nr; ++i) fbuf[i] /= h;
            for (int jj = m; jj <= igh; ++jj) {
                const double uj = u[jj - 1];
                double* cj = a.col(jj) + r0;
                for (int i = 0; i < nr; ++i) cj[i] -= fbuf[i] * uj;
            }
        }
        ort[m - 1] = scale * ort[m - 1];
        a(m, m - 1) = scale * g;
    }
}

// Largest igh of the single-pass form (size of its buffers).
constexpr int FUSED_MAX = 1024;
// Steps whose right-hand transformations of the rows above them are held
// back and then applied together, a block of rows at a time.
constexpr int HOLD = 32;
constexpr int ROWS = 64;

// Householder vectors and divisors of the held-back steps (static: nothing
// is allocated per call, and the program has a single thread).
double g_heldU[HOLD][FUSED_MAX];
double g_heldH[HOLD];
int g_heldM[HOLD];

// c(r0 .. r1-1) -= f(r0 .. r1-1) uj: the right-hand transformation of part
// of a column with the row factors f.
inline void RankOneColumn(double* __restrict c, const double* __restrict f, double uj, int r0, int r1) {
    for (int i = r0; i < r1; ++i) c[i] -= f[i] * uj;
}

// One column group of the single pass at step m (columns cols[0] > cols[1]
// > ...), on rows r0+1 .. igh: the pending right-hand transformation of step
// m-1 (row factors fprev, vector uprev; columns up to igh), then the
// left-hand transformation of step m (sums over i = igh down to m), then the
// row sums of step m (fnew(i) += u(j) A(i,j), j descending).
template <int G>
void SweepGroup(double* const* col, const int* cols, int m, int r0, int igh, const double* u, double h,
                bool pending, const double* fprev, const double* uprev, double* fnew) {
    bool right[G], sums[G];
    for (int c = 0; c < G; ++c) {
        sums[c] = cols[c] <= igh;
        right[c] = pending && sums[c];
    }
    bool allRight = true;
    for (int c = 0; c < G; ++c) allRight = allRight && right[c];
    double s[G];
    for (int c = 0; c < G; ++c) s[c] = 0.0;
    if (allRight) {
        // Rows m .. igh: right-hand update and the column sums in one pass.
        double up[G];
        for (int c = 0; c < G; ++c) up[c] = uprev[cols[c] - 1];
        for (int i = igh - 1; i >= m - 1; --i) {
            const double ui = u[i], fi = fprev[i];
            for (int c = 0; c < G; ++c) {
                const double x = col[c][i] - fi * up[c];
                col[c][i] = x;
                s[c] += ui * x;
            }
        }
        for (int c = 0; c < G; ++c) RankOneColumn(col[c], fprev, up[c], r0, m - 1);
    } else {
        for (int c = 0; c < G; ++c)
            if (right[c]) RankOneColumn(col[c], fprev, uprev[cols[c] - 1], r0, igh);
        for (int i = igh - 1; i >= m - 1; --i) {
            const double ui = u[i];
            for (int c = 0; c < G; ++c) s[c] += ui * col[c][i];
        }
    }
    double f[G];
    for (int c = 0; c < G; ++c) f[c] = s[c] / h;
    bool allSums = true;
    for (int c = 0; c < G; ++c) allSums = allSums && sums[c];
    if (allSums) {
        double uc[G];
        for (int c = 0; c < G; ++c) uc[c] = u[cols[c] - 1];
        // fnew is a separate buffer: no dependence between the rows.
#pragma GCC ivdep
        for (int i = r0; i < m - 1; ++i) {
            double t = fnew[i];
            for (int c = 0; c < G; ++c) t += uc[c] * col[c][i];
            fnew[i] = t;
        }
#pragma GCC ivdep
        for (int i = m - 1; i < igh; ++i) {
            const double ui = u[i];
            double t = fnew[i];
            for (int c = 0; c < G; ++c) {
                const double x = col[c][i] - f[c] * ui;
                col[c][i] = x;
                t += uc[c] * x;
            }
            fnew[i] = t;
        }
        return;
    }
    for (int c = 0; c < G; ++c) {
        double* x = col[c];
        for (int i = m - 1; i < igh; ++i) x[i] -= f[c] * u[i];
        if (sums[c]) {
            const double uj = u[cols[c] - 1];
            for (int i = r0; i < igh; ++i) fnew[i] += uj * x[i];
        }
    }
}

// Right-hand transformations of the held-back steps applied in order to rows
// 1 .. rows (which no step reads in the meantime), a block of rows at a
// time so that the block stays in cache through all of them.
void ApplyHeldRows(Mat<double> a, int rows, int igh, int count) {
    double f[ROWS], fn[ROWS];
    for (int r0 = 0; r0 < rows; r0 += ROWS) {
        const int nr = std::min(ROWS, rows - r0);
        // Row sums of the first step, j = igh down to m.
        {
            const double* u = g_heldU[0];
            for (int i = 0; i < nr; ++i) f[i] = 0.0;
            for (int j = igh; j >= g_heldM[0]; --j) {
                const double uj = u[j - 1];
                const double* c = a.col(j) + r0;
                for (int i = 0; i < nr; ++i) f[i] += uj * c[i];
            }
            for (int i = 0; i < nr; ++i) f[i] /= g_heldH[0];
        }
        for (int t = 0; t < count; ++t) {
            const double* u = g_heldU[t];
            const int m = g_heldM[t];
            const bool next = t + 1 < count;
            const double* un = next ? g_heldU[t + 1] : u;
            const int mn = next ? g_heldM[t + 1] : igh + 1;
            for (int i = 0; i < nr; ++i) fn[i] = 0.0;
            // Step t's update of column j, then step t+1's sum over it.
            for (int j = igh; j >= m; --j) {
                double* c = a.col(j) + r0;
                const double uj = u[j - 1];
                if (j >= mn) {
                    const double ujn = un[j - 1];
                    for (int i = 0; i < nr; ++i) {
                        const double x = c[i] - f[i] * uj;
                        c[i] = x;
                        fn[i] += ujn * x;
                    }
                } else {
                    for (int i = 0; i < nr; ++i) c[i] -= f[i] * uj;
                }
            }
            if (next)
                for (int i = 0; i < nr; ++i) f[i] = fn[i] / g_heldH[t + 1];
        }
    }
}
}  // namespace

// Householder reduction. Step m transforms from the left (columns m .. n,
// rows m .. igh) and then from the right (rows 1 .. igh, columns m .. igh).
// Each column is brought into cache once per step: the right-hand update of
// step m-1, the left-hand update of step m and the row sums of step m are
// applied to it together. Rows above the current block of steps are only
// changed by the right-hand transformations and read by nothing else, so
// those are held back and applied per block. Every element's arithmetic
// stays as in the step-by-step order.
void ReduceToHessenberg(Mat<double> a, int n, int low, int igh, double* ort) {
    if (igh > FUSED_MAX) {
        ReduceByPasses(a, n, low, igh, ort);
        return;
    }
    constexpr int G = 8;
    double fprev[FUSED_MAX], fnew[FUSED_MAX], uprev[FUSED_MAX];
    bool pending = false;
    int mprev = 0;
    int rprev = 0;  // rows 1 .. rprev were held back for the previous block
    for (int m1 = low + 1; m1 <= igh - 1; m1 += HOLD) {
        const int m2 = std::min(igh - 1, m1 + HOLD - 1);
        const int r0 = m1 - 1;  // rows 1 .. r0 are held back in this block
        // The pending step covers rows rprev+1 .. r0 here, since they are
        // held back no longer.
        if (pending)
            for (int j = mprev; j <= igh; ++j) RankOneColumn(a.col(j), fprev, uprev[j - 1], rprev, r0);
        int held = 0;
        for (int m = m1; m <= m2; ++m) {
            double* cprev = a.col(m - 1);
            if (pending) RankOneColumn(cprev, fprev, uprev[m - 2], r0, igh);
            double scale, h, g;
            if (!HouseholderVector(cprev, m, igh, ort, scale, h, g)) {
                if (pending)
                    for (int j = m; j <= igh; ++j) RankOneColumn(a.col(j), fprev, uprev[j - 1], r0, igh);
                pending = false;
                continue;
            }
            const double* u = ort;
            for (int i = r0; i < igh; ++i) fnew[i] = 0.0;
            double* col[G];
            int cols[G];
            int j = n;
            for (; j - G + 1 >= m; j -= G) {
                for (int c = 0; c < G; ++c) {
                    cols[c] = j - c;
                    col[c] = a.col(j - c);
                }
                SweepGroup<G>(col, cols, m, r0, igh, u, h, pending, fprev, uprev, fnew);
            }
            for (; j >= m; --j) {
                cols[0] = j;
                col[0] = a.col(j);
                SweepGroup<1>(col, cols, m, r0, igh, u, h, pending, fprev, uprev, fnew);
            }
            for (int i = r0; i < igh; ++i) fprev[i] = fnew[i] / h;
            for (int i = m; i <= igh; ++i) uprev[i - 1] = g_heldU[held][i - 1] = u[i - 1];
            g_heldH[held] = h;
            g_heldM[held] = m;
            ++held;
            pending = true;
            mprev = m;
            ort[m - 1] = scale * ort[m - 1];
            a(m, m - 1) = scale * g;
        }
        if (held > 0 && r0 > 0) ApplyHeldRows(a, r0, igh, held);
        rprev = r0;
    }
    if (pending)
        for (int j = mprev; j <= igh; ++j) RankOneColumn(a.col(j), fprev, uprev[j - 1], rprev, igh);
}

void HessenbergQr(Mat<double> a, int n, int low, int igh, double* wr, double* wi, int& ierr,
                  double machep) {
    ierr = 0;
    double norm = 0.0;
    for (int j = 1; j <= n; ++j) {
        const double* cj = a.col(j);
        for (int i = 1; i <= std::min(n, j + 1); ++i) norm += std::fabs(cj[i - 1]);
    }
    for (int i = 1; i <= n; ++i) {
        if (i >= low && i <= igh) continue;
        wr[i - 1] = a(i, i);
        wi[i - 1] = 0.0;
    }

    int en = igh;
    double t = 0.0;
    while (en >= low) {
        int its = 0;
        const int na = en - 1;
        const int enm2 = na - 1;
        for (;;) {
            // A small sub-diagonal element splits the matrix.
            int l = low;
            for (int ll = en; ll >= low + 1; --ll) {
                double s = std::fabs(a(ll - 1, ll - 1)) + std::fabs(a(ll, ll));
                if (s == 0.0) s = norm;
                if (std::fabs(a(ll, ll - 1)) <= machep * s) {
                    l = ll;
                    break;
                }
            }
            double x = a(en, en);
            if (l == en) {  // one real root
                wr[en - 1] = x + t;
                wi[en - 1] = 0.0;
                en = na;
                break;
            }
            double y = a(na, na);
            double w = a(en, na) * a(na, en);
            if (l == na) {  // a pair of roots
                const double p = (y - x) / 2.0;
                const double q = p * p + w;
                double z = std::sqrt(std::fabs(q));
                x = x + t;
                if (q >= 0.0) {
                    z = p + SignOf(z, p);
                    wr[na - 1] = x + z;
                    wr[en - 1] = wr[na - 1];
                    if (z != 0.0) wr[en - 1] = x - w / z;
                    wi[na - 1] = 0.0;
                    wi[en - 1] = 0.0;
                } else {
                    wr[na - 1] = x + p;
                    wr[en - 1] = x + p;
                    wi[na - 1] = z;
                    wi[en - 1] = -z;
                }
                en = enm2;
                break;
            }
            if (its == 30) {
                ierr = en;
                return;
            }
            if (its == 10 || its == 20) {  // exceptional shift
                t += x;
                for (int i = low; i <= en; ++i) a(i, i) -= x;
                const double s = std::fabs(a(en, na)) + std::fabs(a(na, enm2));
                x = 0.75 * s;
                y = x;
                w = -0.4375 * s * s;
            }
            ++its;

            // Two consecutive small sub-diagonal elements.
            int m = enm2;
            double p = 0.0, q = 0.0, r = 0.0;
            for (;; --m) {
                const double zz = a(m, m);
                r = x - zz;
                double s = y - zz;
                p = (r * s - w) / a(m + 1, m) + a(m, m + 1);
                q = a(m + 1, m + 1) - zz - r - s;
                r = a(m + 2, m + 1);
                s = std::fabs(p) + std::fabs(q) + std::fabs(r);
                p /= s;
                q /= s;
                r /= s;
                if (m == l) break;
                if (std::fabs(a(m, m - 1)) * (std::fabs(q) + std::fabs(r)) <=
                    machep * std::fabs(p) *
                        (std::fabs(a(m - 1, m - 1)) + std::fabs(zz) + std::fabs(a(m + 1, m + 1))))
                    break;
            }
            for (int i = m + 2; i <= en; ++i) {
                a(i, i - 2) = 0.0;
                if (i != m + 2) a(i, i - 3) = 0.0;
            }

            // Double QR step on rows l .. en and columns m .. en.
            for (int k = m; k <= na; ++k) {
                const bool notlast = k != na;
                if (k != m) {
                    p = a(k, k - 1);
                    q = a(k + 1, k - 1);
                    r = notlast ? a(k + 2, k - 1) : 0.0;
                    x = std::fabs(p) + std::fabs(q) + std::fabs(r);
                    if (x == 0.0) continue;
                    p /= x;
                    q /= x;
                    r /= x;
                }
                const double s = SignOf(std::sqrt(p * p + q * q + r * r), p);
                if (s == 0.0) continue;
                if (k != m) {
                    a(k, k - 1) = -s * x;
                } else if (l != m) {
                    a(k, k - 1) = -a(k, k - 1);
                }
                p += s;
                x = p / s;
                y = q / s;
                const double zz = r / s;
                q /= p;
                r /= p;
                const int jmax = std::min(en, k + 3);
                if (notlast) {
                    for (int j = k; j <= en; ++j) {
                        double* cj = a.col(j) + (k - 1);
                        double pp = cj[0] + q * cj[1];
                        pp = pp + r * cj[2];
                        cj[2] -= pp * zz;
                        cj[1] -= pp * y;
                        cj[0] -= pp * x;
                    }
                    double* ck0 = a.col(k);
                    double* ck1 = a.col(k + 1);
                    double* ck2 = a.col(k + 2);
                    for (int i = l - 1; i < jmax; ++i) {
                        double pp = x * ck0[i] + y * ck1[i];
                        pp = pp + zz * ck2[i];
                        ck2[i] -= pp * r;
                        ck1[i] -= pp * q;
                        ck0[i] -= pp;
                    }
                } else {
                    for (int j = k; j <= en; ++j) {
                        double* cj = a.col(j) + (k - 1);
                        const double pp = cj[0] + q * cj[1];
                        cj[1] -= pp * y;
                        cj[0] -= pp * x;
                    }
                    double* ck0 = a.col(k);
                    double* ck1 = a.col(k + 1);
                    for (int i = l - 1; i < jmax; ++i) {
                        const double pp = x * ck0[i] + y * ck1[i];
                        ck1[i] -= pp * q;
                        ck0[i] -= pp;
                    }
                }
            }
        }
    }
}

void RealEigenvalues(Mat<double> a, int n, double* wr, double* wi, double* work, int& ierr,
                     double radix, double machep) {
    if (n > a.ld) {
        ierr = 10 * n;
        return;
    }
    ierr = 0;
    if (n < 1) return;
    int low = 1, igh = n;
    BalanceMatrix(a, n, low, igh, work, radix);
    ReduceToHessenberg(a, n, low, igh, work);
    HessenbergQr(a, n, low, igh, wr, wi, ierr, machep);
}
