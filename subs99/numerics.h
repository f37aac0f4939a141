#pragma once
// Dense real and complex linear algebra and eigenvalue routines, computed in
// double precision. Matrices are column-major views with 1-based indices
// (Mat, arrays.h) whose leading dimension is the view's `ld`; vectors are
// pointers to their first element, so entry i of a vector v is v[i-1]. Index
// tables (pivot rows, orders) hold 1-based numbers. The routines keep no
// state: every work array is supplied by the caller, nothing is allocated.
#include "subs99/arrays.h"

// A complex number as a pair of doubles.
struct ZDouble {
    double re = 0.0, im = 0.0;
};

// ============================================================================
// Real LU factorisation, inversion and product (lu.cpp)

// LuDecompose: Crout factorisation with implicit (row-scaled) partial
// pivoting, P A = L U.
//   a        (in/out) n x n block of a: on entry the matrix; on exit L below
//            the diagonal (unit diagonal not stored) and U on and above it.
//   n        (in) order.
//   pivotRow (out) int array, dimension n: pivotRow[j-1] is the row
//            interchanged with row j at step j.
//   parity   (out) +1 for an even number of interchanges, -1 for an odd one.
//   rowScale (work) double array, dimension n: 1 / largest |a(i,j)| of row i.
// An all-zero row pauses with "Singular matrix." and is then left unscaled;
// an exactly zero pivot is replaced by 1.0E-20, so no error is returned.
void LuDecompose(Mat<double> a, int n, int* pivotRow, double& parity, double* rowScale);

// InvertMatrix: y = inverse of a, by LuDecompose and a solve for every column
// of the identity.
//   a        (in/out) n x n block: the matrix on entry, its factors on exit.
//   y        (out) n x n block: the inverse; must not be a.
//   n        (in) order.
//   pivotRow (work) int array, dimension n: the interchanges of LuDecompose.
//   rowScale (work) double array, dimension n: the row scale of LuDecompose.
void InvertMatrix(Mat<double> a, Mat<double> y, int n, int* pivotRow, double* rowScale);

// MatrixProduct: c = a b over the n x n blocks, each entry summed over
// k = 1 .. n in that order.
//   a, b (in) n x n blocks.
//   c    (out) n x n block; must be neither a nor b.
//   n    (in) order.
void MatrixProduct(Mat<const double> a, Mat<const double> b, Mat<double> c, int n);

// ============================================================================
// Generalized Jacobi eigensolver (jacobi.cpp)

// JacobiGeneralized: all eigenpairs of k x = lambda m x for symmetric positive
// definite k and m, by Jacobi rotations that diagonalise both, sweep after
// sweep with a threshold that tightens each sweep (at most 15 sweeps; reaching
// the limit is not an error).
//   k, m     (in/out) n x n blocks: only the upper triangles are read; on
//            exit the transformed, nearly diagonal matrices, made symmetric.
//   x        (out) n x n block: column j is the m-normalised eigenvector of
//            eigv[j-1] (not set when ierr = 1).
//   eigv     (out) double array, dimension n: the eigenvalues, ascending; of
//            equal values the one found at the larger position comes first.
//   eigvCopy (work) double array, dimension n: the unsorted eigenvalues, from
//            which the sort takes the smallest remaining one.
//   columnBuffer (work) double array, dimension n: one eigenvector column
//            while the columns are put in the sorted order.
//   previousEigv (work) double array, dimension n: the eigenvalue estimates
//            of the previous sweep.
//   order    (out) int array, dimension n: order[k-1] is the position, before
//            sorting, of the k-th smallest eigenvalue.
//   invorder (out) int array, dimension n: the inverse permutation of order.
//   n        (in) order of the problem.
//   ierr     (out) 0 success; 1 a diagonal entry of k or m is not positive on
//            entry; 2 a rotation met a negative discriminant; 3 a diagonal
//            entry is not positive after a sweep. Errors return at once with
//            the arrays as they are.
//   sweeps   (out) the number of sweeps made.
void JacobiGeneralized(Mat<double> k, Mat<double> m, Mat<double> x, double* eigv, double* eigvCopy,
                       double* columnBuffer, double* previousEigv, int* order, int* invorder, int n, int& ierr,
                       int& sweeps);

// ============================================================================
// Eigenvalues of a real general matrix: balancing (balance.cpp), Householder
// reduction to upper Hessenberg form (hessenberg.cpp) and the shifted
// double-step QR iteration (hessenberg_qr.cpp).

// Largest order of the real general eigenvalue problem: the first-order
// system of 396 degrees of freedom.
constexpr int MAXEIGORDER = 792;

// Work space of ReduceToHessenberg. The reduction applies the right-hand
// transformation of step m to the rows above the current block of steps only
// when the block is done; these arrays hold what is needed until then. It is
// aligned to cache lines, so that its speed does not depend on where the
// caller keeps it.
struct alignas(64) HessenbergWork {
    static constexpr int HELD = 32;  // steps in one block
    // Householder vector u(i), i = m .. igh, of each step of the block
    // (u(i) at heldVector[s][i-1]).
    double heldVector[HELD][MAXEIGORDER];
    double heldDivisor[HELD];  // h = u'u / 2 of each step of the block
    int heldStep[HELD];        // the step m of each
    // Right-hand transformation of the previous step, still to be applied to
    // rows below the block: its vector u and, per row i, the factor
    // f(i) = (sum over j of u(j) a(i,j)) / h.
    double previousVector[MAXEIGORDER];
    double previousRowFactor[MAXEIGORDER];
    // The row factors of the current step, gathered while its left-hand
    // transformation runs.
    double rowFactor[MAXEIGORDER];
};

// Work space of RealEigenvalues.
struct EigenWork {
    // Balancing record (BalanceMatrix), then the Householder vectors
    // (ReduceToHessenberg); dimension MAXEIGORDER.
    double scaleOrt[MAXEIGORDER];
    HessenbergWork hessenberg;
};

// BalanceMatrix: isolates eigenvalues by row and column permutations, then
// scales the remaining rows and columns by powers of the radix until the
// norms of each row and its column are close.
//   a     (in/out) n x n block: the matrix; on exit the balanced matrix.
//   n     (in) order.
//   low, igh (out) rows and columns outside low .. igh hold eigenvalues
//         isolated by permutation (on the diagonal, a triangular part).
//   scale (out) double array, dimension n: for j outside low .. igh the
//         index exchanged with j (as a real), inside the scale factor.
//   radix (in) the base of the scale factors (2.0).
void BalanceMatrix(Mat<double> a, int n, int& low, int& igh, double* scale, double radix);

// ReduceToHessenberg: orthogonal similarity transformations (Householder)
// that make rows and columns low .. igh upper Hessenberg.
//   a     (in/out) n x n block; on exit upper Hessenberg in low .. igh,
//         except that below the subdiagonal column m-1 keeps the Householder
//         vector of step m times its scale (not needed for the eigenvalues).
//   n     (in) order.
//   low, igh (in) from BalanceMatrix (1 and n without balancing);
//         igh <= MAXEIGORDER.
//   ort   (out) double array, dimension igh: ort[m-1], m = low+1 .. igh-1,
//         the first entry of the Householder vector of step m times its
//         scale (0 for a step with nothing to annihilate).
//   work  (work) the held transformations.
void ReduceToHessenberg(Mat<double> a, int n, int low, int igh, double* ort, HessenbergWork& work);

// HessenbergQr: all eigenvalues of an upper Hessenberg matrix by the shifted
// double-step QR iteration (no eigenvectors).
//   a      (in/out) n x n block, upper Hessenberg in low .. igh; destroyed.
//   n      (in) order.
//   low, igh (in) from BalanceMatrix: the eigenvalues outside low .. igh are
//          the diagonal entries there.
//   wr, wi (out) double arrays, dimension n: real and imaginary parts, in the
//          order found; a complex pair stands in consecutive positions, the
//          positive imaginary part first.
//   ierr   (out) 0 success; otherwise the index of the eigenvalue for which 30
//          iterations did not suffice (those with larger indices are stored).
//   machep (in) the relative precision that decides a negligible subdiagonal
//          entry (2^-26).
void HessenbergQr(Mat<double> a, int n, int low, int igh, double* wr, double* wi, int& ierr, double machep);

// RealEigenvalues: all eigenvalues of a real general matrix: BalanceMatrix,
// ReduceToHessenberg and HessenbergQr in turn.
//   a      (in/out) n x n block; destroyed.
//   n      (in) order.
//   wr, wi (out) double arrays, dimension n: as HessenbergQr.
//   work   (work) the balancing record and the reduction's work space.
//   ierr   (out) 0 success; 10 n when n exceeds a.ld or MAXEIGORDER (nothing
//          is computed); otherwise as HessenbergQr.
//   radix, machep (in) as BalanceMatrix and HessenbergQr.
void RealEigenvalues(Mat<double> a, int n, double* wr, double* wi, EigenWork& work, int& ierr, double radix,
                     double machep);

// ============================================================================
// Complex linear systems (complex_lu.cpp). Vectors have unit stride.

// ComplexQuotient: a / b, scaled by the larger part of b so that no
// intermediate result overflows.
ZDouble ComplexQuotient(ZDouble a, ZDouble b);

// ComplexMaxIndex: the 1-based index of the first of x[0 .. n-1] with the
// largest |re| + |im|; 0 when n < 1.
int ComplexMaxIndex(int n, const ZDouble* x);

// ComplexScale: x = a x over x[0 .. n-1].
void ComplexScale(int n, ZDouble a, ZDouble* x);

// ComplexAxpy: y = y + a x over n entries; nothing when n <= 0 or a = 0.
// x and y must not overlap.
void ComplexAxpy(int n, ZDouble a, const ZDouble* x, ZDouble* y);

// ComplexLuFactor: Gaussian elimination with partial pivoting by columns.
//   a    (in/out) n x n block: the matrix; on exit U on and above the
//        diagonal and the negated multipliers below it.
//   n    (in) order.
//   ipvt (out) int array, dimension n: ipvt[k-1] is the pivot row of step k;
//        ipvt[n-1] = n.
//   info (out) 0, or the last k whose pivot was zero (that step is skipped;
//        solving with such factors divides by zero).
void ComplexLuFactor(Mat<ZDouble> a, int n, int* ipvt, int& info);

// ComplexLuSolve: solves a x = b with the factors of ComplexLuFactor.
//   a    (in) n x n block: the factors.
//   n    (in) order.
//   ipvt (in) int array, dimension n: the pivot rows.
//   b    (in/out) ZDouble array, dimension n: the right-hand side; on exit
//        the solution.
void ComplexLuSolve(Mat<const ZDouble> a, int n, const int* ipvt, ZDouble* b);

// ============================================================================
// Complex inverse iteration (inverse_iteration.cpp)

// ComplexInverseIteration: the complex eigenvector of a real matrix for a
// given eigenvalue lambda = lambdaRe + i lambdaIm, by inverse iteration with
// a fixed shift: (a - lambda I) is factored once, then each iteration solves
// with the previous iterate and normalises the entry of largest modulus to
// exactly 1. At least two solves are made, at most itmax + 1.
//   a        (in/out) n x n block: the matrix; on exit its diagonal is
//            shifted by -lambdaRe.
//   n        (in) order; the first n/2 entries of the state are velocities,
//            the others displacements (they set the start vector).
//   c        (work) n x n complex block: a - lambda I and its factors.
//   previous (work) ZDouble array, dimension n: the previous iterate.
//   x        (out) ZDouble array, dimension n: the eigenvector.
//   lambdaRe, lambdaIm (in) the eigenvalue.
//   ipvt     (work) int array, dimension n: pivot rows of the factors.
//   itmax    (in/out) on entry the iteration limit; on exit 0 when the
//            iteration converged, unchanged otherwise.
//   tol      (in) convergence when no entry of x moved by more than tol
//            (complex modulus).
// Console messages: " MATRIX CA MAY BE SINGULAR" for a zero pivot (it is
// replaced by 1.0E-20 and the iteration goes on) and " CONVERGENCE NOT
// ACHIEVED IN" with the limit.
void ComplexInverseIteration(Mat<double> a, int n, Mat<ZDouble> c, ZDouble* previous, ZDouble* x, double lambdaRe,
                             double lambdaIm, int* ipvt, int& itmax, double tol);
