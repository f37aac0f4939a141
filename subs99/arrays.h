#pragma once
// Fixed-size tables with 1-based indexing, stored column by column, and a
// small view type for matrices passed with their leading dimension.
// Index checks are active in builds without NDEBUG (the sanitizer build).
#include <cassert>
#include <cstddef>
#include <cstring>

#ifdef NDEBUG
#define KORVO_INDEX_CHECK(cond) ((void)0)
#else
#define KORVO_INDEX_CHECK(cond) assert(cond)
#endif

// View of a column-major matrix: element (i, j), 1-based, lies at
// data[(i-1) + (j-1)*ld].
template <class T>
struct Mat {
    T* data = nullptr;
    int ld = 0;

    Mat() = default;
    Mat(T* d, int leading) : data(d), ld(leading) {}
    template <class U>
    Mat(const Mat<U>& o) : data(o.data), ld(o.ld) {}

    T& operator()(int i, int j) const {
        KORVO_INDEX_CHECK(i >= 1 && i <= ld && j >= 1);
        return data[(i - 1) + static_cast<std::ptrdiff_t>(j - 1) * ld];
    }
    // Pointer to element (1, j): column j as a contiguous vector.
    T* col(int j) const { return data + static_cast<std::ptrdiff_t>(j - 1) * ld; }
};

// View of a column-major three-index table with first two extents d1, d2.
template <class T>
struct Mat3 {
    T* data = nullptr;
    int d1 = 0, d2 = 0;

    Mat3() = default;
    Mat3(T* d, int e1, int e2) : data(d), d1(e1), d2(e2) {}
    template <class U>
    Mat3(const Mat3<U>& o) : data(o.data), d1(o.d1), d2(o.d2) {}

    T& operator()(int i, int j, int k) const {
        KORVO_INDEX_CHECK(i >= 1 && i <= d1 && j >= 1 && j <= d2 && k >= 1);
        return data[(i - 1) + static_cast<std::ptrdiff_t>(d1) * ((j - 1) + static_cast<std::ptrdiff_t>(d2) * (k - 1))];
    }
};

// One-dimensional table of N entries, 1-based.
template <class T, int N>
struct Vec {
    T a[N];
    T& operator()(int i) {
        KORVO_INDEX_CHECK(i >= 1 && i <= N);
        return a[i - 1];
    }
    const T& operator()(int i) const {
        KORVO_INDEX_CHECK(i >= 1 && i <= N);
        return a[i - 1];
    }
    T* data() { return a; }
    const T* data() const { return a; }
    static constexpr int size() { return N; }
    void clear() { std::memset(static_cast<void*>(a), 0, sizeof a); }
};

// R x C matrix stored column by column (leading dimension R), 1-based.
template <class T, int R, int C>
struct Array2 {
    T a[static_cast<std::size_t>(R) * C];
    T& operator()(int i, int j) {
        KORVO_INDEX_CHECK(i >= 1 && i <= R && j >= 1 && j <= C);
        return a[(i - 1) + static_cast<std::size_t>(j - 1) * R];
    }
    const T& operator()(int i, int j) const {
        KORVO_INDEX_CHECK(i >= 1 && i <= R && j >= 1 && j <= C);
        return a[(i - 1) + static_cast<std::size_t>(j - 1) * R];
    }
    Mat<T> view() { return Mat<T>(a, R); }
    Mat<const T> view() const { return Mat<const T>(a, R); }
    void clear() { std::memset(static_cast<void*>(a), 0, sizeof a); }
};

// A x B x C table stored column by column, 1-based.
template <class T, int A, int B, int C>
struct Array3 {
    T a[static_cast<std::size_t>(A) * B * C];
    T& operator()(int i, int j, int k) {
        KORVO_INDEX_CHECK(i >= 1 && i <= A && j >= 1 && j <= B && k >= 1 && k <= C);
        return a[(i - 1) + static_cast<std::size_t>(A) * ((j - 1) + static_cast<std::size_t>(B) * (k - 1))];
    }
    const T& operator()(int i, int j, int k) const {
        KORVO_INDEX_CHECK(i >= 1 && i <= A && j >= 1 && j <= B && k >= 1 && k <= C);
        return a[(i - 1) + static_cast<std::size_t>(A) * ((j - 1) + static_cast<std::size_t>(B) * (k - 1))];
    }
    Mat3<T> view() { return Mat3<T>(a, A, B); }
    Mat3<const T> view() const { return Mat3<const T>(a, A, B); }
    void clear() { std::memset(static_cast<void*>(a), 0, sizeof a); }
};
