#pragma once

#include "numkit/numkit.h"

/// A numerical-library vector addressable at 1 … size (and 0) that frees itself; get() is null
/// when the allocation failed.
class NumkitVector {
 public:
  explicit NumkitVector(long size) : size_(size), v_(vector(1, size)) {}
  ~NumkitVector() { free_vector(v_, 1, size_); }
  NumkitVector(const NumkitVector&) = delete;
  NumkitVector& operator=(const NumkitVector&) = delete;
  float* get() const { return v_; }
  float& operator[](long i) { return v_[i]; }

 private:
  long size_;
  float* v_;
};
