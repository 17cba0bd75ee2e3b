#pragma once
// Index conventions of the univariate numerics.
//
// Vectors are passed as a pointer to their first element and indexed from 1, so the formulas
// read as written: element h+1 of an autocovariance or autocorrelation array holds lag h.
// Square matrices are column-major with leading dimension 54 (kLeadingDimension) and indexed
// from 1: element (i, j) lives at position (i-1) + ld·(j-1).
//
// Vec1 and Mat1 are non-owning views over such storage; they add no bound checks of their own
// (the sanitizer builds catch stray accesses), so every routine sizes its arrays from the
// orders it was given and checks those orders at entry.

constexpr int kLeadingDimension = 54;

template <typename T>
class Vec1 {
public:
    explicit Vec1(T* first) : first_(first) {}
    T& operator()(int i) const { return first_[i - 1]; }

private:
    T* first_;
};

template <typename T>
class Mat1 {
public:
    explicit Mat1(T* first, int ld = kLeadingDimension) : first_(first), ld_(ld) {}
    T& operator()(int i, int j) const
    {
        return first_[(i - 1) + static_cast<long>(ld_) * (j - 1)];
    }

private:
    T* first_;
    int ld_;
};
