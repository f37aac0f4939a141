#pragma once
// Dense real and complex linear algebra and eigenvalue routines.
// They compute in double precision; vectors are passed as pointers to their
// first element (1-based entries of index tables such as INDX and IPVT hold
// 1-based row numbers), matrices as column-major views with their leading
// dimension. Callers supply every work array; nothing is allocated per call.
#include "subs99/arrays.h"

struct ZDouble {
    double re = 0.0, im = 0.0;
};

// ---- Real LU factorisation, solve, inversion, product -------------------
void LuDecompose(Mat<double> a, int n, int* indx, double& d, double* vv);
void LuBackSubstitute(Mat<const double> a, int n, const int* indx, double* b);
void InvertMatrix(Mat<double> a, Mat<double> y, int n, int* indx, double* vv);
void MatrixProduct(Mat<const double> a, Mat<const double> b, Mat<double> c, int n);

// ---- Generalized Jacobi: K x = lambda M x ---------------------------------
// ierr: 0 success, 1 non-positive diagonal on entry, 2 negative discriminant,
// 3 non-positive diagonal after a sweep.
void JacobiGeneralized(Mat<double> k, Mat<double> m, Mat<double> x, double* eigv,
                       double* sorted, double* swap, double* d, int* order, int* invorder,
                       int n, int& ierr);
// As above; sweeps receives the number of sweeps made.
void JacobiGeneralized(Mat<double> k, Mat<double> m, Mat<double> x, double* eigv,
                       double* sorted, double* swap, double* d, int* order, int* invorder,
                       int n, int& ierr, int& sweeps);

// ---- Real general eigenvalues: balance, Hessenberg, shifted QR -----------
// a.ld is NM. ierr: 0, 10*n when n > NM, or the index of the eigenvalue at
// which the QR iteration gave up.
void BalanceMatrix(Mat<double> a, int n, int& low, int& igh, double* scale, double radix);
void ReduceToHessenberg(Mat<double> a, int n, int low, int igh, double* ort);
void HessenbergQr(Mat<double> a, int n, int low, int igh, double* wr, double* wi, int& ierr,
                  double machep);
void RealEigenvalues(Mat<double> a, int n, double* wr, double* wi, double* work, int& ierr,
                     double radix, double machep);

// ---- Complex linear solver -----------------------------------------------
// Complex quotient a / b (scaled so that no intermediate overflows).
ZDouble ComplexQuotient(ZDouble a, ZDouble b);
int ComplexMaxIndex(int n, const ZDouble* x, int incx);
void ComplexScale(int n, ZDouble a, ZDouble* x, int incx);
void ComplexAxpy(int n, ZDouble a, const ZDouble* x, int incx, ZDouble* y, int incy);
ZDouble ComplexDot(int n, const ZDouble* x, int incx, const ZDouble* y, int incy);
void ComplexLuFactor(Mat<ZDouble> a, int n, int* ipvt, int& info);
void ComplexLuSolve(Mat<const ZDouble> a, int n, const int* ipvt, ZDouble* b, int job);

// ---- Complex inverse iteration for one eigenvector -------------------------
// a (order n) has its diagonal shifted by lre in place. itmax: limit in,
// 0 on convergence.
void ComplexInverseIteration(Mat<double> a, int n, Mat<ZDouble> c, Mat<ZDouble> cl, ZDouble* b,
                             ZDouble* x, double lre, double lim, int* ipvt, int& itmax,
                             double tol);
