#pragma once
// A small set of enumeration values stored as bits (bit n for ordinal n), like the shift state and
// the virtual-item set. Fits in `Bits`; values outside it are ignored.

#include <initializer_list>
#include <type_traits>

template <typename E, typename Bits>
class TSmallSet {
  static_assert(std::is_enum_v<E> && std::is_unsigned_v<Bits>);

 public:
  constexpr TSmallSet() noexcept = default;
  constexpr TSmallSet(std::initializer_list<E> members) noexcept {
    for (E e : members) Include(e);
  }
  static constexpr TSmallSet FromBits(Bits bits) noexcept {
    TSmallSet set;
    set.bits_ = bits;
    return set;
  }

  constexpr bool Contains(E e) const noexcept { return (bits_ & Bit(e)) != 0; }
  constexpr TSmallSet& Include(E e) noexcept {
    bits_ = static_cast<Bits>(bits_ | Bit(e));
    return *this;
  }
  constexpr TSmallSet& Exclude(E e) noexcept {
    bits_ = static_cast<Bits>(bits_ & ~Bit(e));
    return *this;
  }
  constexpr bool Empty() const noexcept { return bits_ == 0; }
  constexpr Bits ToBits() const noexcept { return bits_; }

  friend constexpr bool operator==(TSmallSet a, TSmallSet b) noexcept = default;

 private:
  static constexpr Bits Bit(E e) noexcept {
    const auto ordinal = static_cast<unsigned>(e);
    return ordinal < sizeof(Bits) * 8 ? static_cast<Bits>(Bits{1} << ordinal) : Bits{0};
  }

  Bits bits_ = 0;
};
