#pragma once

#include <cstdint>
#include <vector>

namespace tessmor {
class Archive;
}

/// How the numbers of one column of parsed text were written, gathered over every line
/// parsed since the array was last emptied.
struct FloatColumnFormat {
  /// Most digits after the decimal point seen (saturates at 255).
  unsigned char nDecimals = 0;
  /// Most digits before the point seen, a sign counting as one (saturates at 255).
  unsigned char nIntDigits = 0;
  /// Smallest decimal exponent seen (0 for a number in fixed notation).
  int nMinExp = 38;
  /// Largest decimal exponent seen.
  int nMaxExp = -37;
  /// Notation of the last number of the column: 'f' fixed, 'e' or 'g' exponent form.
  char cNotation = 'f';
};

/// A growable array of single-precision values that can parse lines of numeric text,
/// remembering per column how the numbers were written, sort itself, tell how a sort would
/// permute it, and store itself in an archive.
///
/// Indices and counts outside the documented ranges throw std::out_of_range, and a size
/// beyond the int range std::length_error; either changes nothing.
class CFloatArray {
 public:
  CFloatArray() = default;

  /// Sets the number of values to `size`. 0 frees the storage. Growing beyond the capacity
  /// raises it to the larger of `size` and capacity + growth step; new values are 0.0. A
  /// negative `grow_by` keeps the current growth step. Throws std::out_of_range for a
  /// negative size.
  void SetSize(int size, int grow_by = -1);
  /// Shrinks the capacity to the number of values.
  void FreeExtra();

  /// Number of values.
  int GetSize() const { return m_nSize; }
  /// Index of the last value: size - 1.
  int GetUpperBound() const { return m_nSize - 1; }
  /// Number of values the storage holds before it must grow again.
  int GetCapacity() const { return static_cast<int>(m_data.size()); }
  /// Growth step of the capacity.
  int GetGrowBy() const { return m_nGrowBy; }
  /// The values, GetSize() of them; invalidated by any change of size.
  const float* GetData() const { return m_data.data(); }

  /// The value at `index` (0 .. size - 1).
  float GetAt(int index) const;
  /// Replaces the value at `index` (0 .. size - 1).
  void SetAt(int index, float value);
  /// Stores `value` at `index` (0 or more), growing the array to index + 1 when needed.
  void SetAtGrow(int index, float value);
  /// Appends `value`; returns its index.
  int Add(float value);
  /// Inserts `count` copies of `value` before `index` (0 or more); an index at or beyond
  /// the end appends them.
  void InsertAt(int index, float value, int count = 1);
  /// Inserts every value of `other` before `index` (0 or more); an index at or beyond the
  /// end appends them. `other` may be this array.
  void InsertAt(int index, const CFloatArray& other);
  /// Removes `count` values from `index` on, closing the gap; index + count must not pass
  /// the end.
  void RemoveAt(int index, int count = 1);
  /// Empties the array: frees the storage, deletes the column formats and zeroes
  /// m_nMaxDecimals and m_nMaxIntDigits.
  void RemoveAll();
  /// Reverses the order of the values.
  void Reverse();

  /// The format record of `column`, or null outside the columns seen; invalidated by the
  /// next ConvertText or RemoveAll.
  const FloatColumnFormat* GetColumnFormat(int column) const;
  /// Number of columns with a format record.
  int GetColumnCount() const { return static_cast<int>(m_formats.size()); }

  /// Parses a line of numbers separated by spaces, tabs, commas or semicolons, in fixed or
  /// exponent notation ('e', 'g' or 'd' introduces the exponent), appends them and records
  /// per column how they were written. Returns the number of values appended; 0, appending
  /// nothing, for a null or empty text or one with letters that are not part of numbers.
  ///
  /// A number in exponent form is resolved to 10 decimals (9 when the tenth is not 0), so
  /// one below about 1e-10 reads as 0; a number beyond the single-precision range reads as
  /// an infinity. A field that is not a number at all (such as "#") reads as 0. The point
  /// is always the decimal separator, whatever the locale.
  int ConvertText(const char* text);

  /// Sorts the values, ascending when the low byte of `flag` is 200 and descending
  /// otherwise (NaNs last), by emptying the array with RemoveAll (the column formats go
  /// too) and appending the sorted values. Returns 1 when there were two values or more,
  /// else 0 (nothing changed).
  int Sort(unsigned flag);
  /// Fills `out`, for each position of the sorted order (as Sort), with the index of the
  /// first value of the array that equals the value sorted there to 6 significant digits;
  /// the array is not changed. Returns 1 when any index differs from its position, else 0.
  /// With fewer than two values returns 0 and leaves `out` alone. Throws std::length_error
  /// for more than 65535 values, whose indices a 16-bit word cannot hold.
  int SortIndex(std::vector<std::uint16_t>& out, unsigned flag);

  /// Stores a 16-bit count and that many values (4-byte little-endian IEEE singles), or
  /// loads them in place of the current values. Only the first 65535 values can be stored:
  /// the count is the low 16 bits of the size, and only that many values follow it. The
  /// column formats are not stored. A load that runs out of data throws
  /// tessmor::ArchiveException and leaves the array empty.
  void Serialize(tessmor::Archive& ar);
  /// As Serialize, with a 32-bit count and no limit.
  void SerializeRaw(tessmor::Archive& ar);

  /// Most digits after the point seen by ConvertText in any column.
  unsigned char m_nMaxDecimals = 0;
  /// Most digits before the point (a sign counting as one) seen by ConvertText in any column.
  unsigned char m_nMaxIntDigits = 0;

 private:
  // Opens a gap of `count` zeros before `index` (clamped to the end); returns where it is.
  int OpenGap(int index, int count);
  // Grows the used length to `size` with the growth rule of SetSize, zeroing new values.
  void GrowTo(long long size);
  void LoadValues(tessmor::Archive& ar, std::uint32_t count);
  void StoreValues(tessmor::Archive& ar, std::uint32_t count) const;

  // m_data.size() is the capacity; the first m_nSize values are in use.
  std::vector<float> m_data;
  int m_nSize = 0;
  int m_nGrowBy = 0;
  std::vector<FloatColumnFormat> m_formats;
};
