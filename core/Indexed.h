#pragma once

#include <array>
#include <cassert>
#include <cstdint>

namespace kov {

using i16 = std::int16_t;
using f32 = float;

// Arrays keep the odd lower bounds of the stored file layouts (bands 12..43, the ZUV-AR24's masking lines
// 3..6, ...): the readers and writers walk these bounds, so an index off by one must be caught, not absorbed.
template <typename T, int Lo, int Hi>
class Indexed {
    static_assert(Hi >= Lo);

public:
    static constexpr int lo = Lo;
    static constexpr int hi = Hi;

    T& operator()(int i)
    {
        assert(i >= Lo && i <= Hi);
        return m_v[static_cast<std::size_t>(i - Lo)];
    }
    const T& operator()(int i) const
    {
        assert(i >= Lo && i <= Hi);
        return m_v[static_cast<std::size_t>(i - Lo)];
    }
    void fill(const T& value) { m_v.fill(value); }
    bool operator==(const Indexed&) const = default;

private:
    std::array<T, static_cast<std::size_t>(Hi - Lo + 1)> m_v{};
};

template <typename T, int Lo1, int Hi1, int Lo2, int Hi2>
class Indexed2 {
    static_assert(Hi1 >= Lo1 && Hi2 >= Lo2);

public:
    static constexpr int lo1 = Lo1;
    static constexpr int hi1 = Hi1;
    static constexpr int lo2 = Lo2;
    static constexpr int hi2 = Hi2;

    T& operator()(int i, int j) { return m_v[offset(i, j)]; }
    const T& operator()(int i, int j) const { return m_v[offset(i, j)]; }
    void fill(const T& value) { m_v.fill(value); }
    bool operator==(const Indexed2&) const = default;

private:
    static std::size_t offset(int i, int j)
    {
        assert(i >= Lo1 && i <= Hi1);
        assert(j >= Lo2 && j <= Hi2);
        return static_cast<std::size_t>((i - Lo1) * (Hi2 - Lo2 + 1) + (j - Lo2));
    }
    std::array<T, static_cast<std::size_t>((Hi1 - Lo1 + 1) * (Hi2 - Lo2 + 1))> m_v{};
};

template <typename T, int Lo1, int Hi1, int Lo2, int Hi2, int Lo3, int Hi3>
class Indexed3 {
    static_assert(Hi1 >= Lo1 && Hi2 >= Lo2 && Hi3 >= Lo3);

public:
    T& operator()(int i, int j, int k) { return m_v[offset(i, j, k)]; }
    const T& operator()(int i, int j, int k) const { return m_v[offset(i, j, k)]; }
    void fill(const T& value) { m_v.fill(value); }
    bool operator==(const Indexed3&) const = default;

private:
    static std::size_t offset(int i, int j, int k)
    {
        assert(i >= Lo1 && i <= Hi1);
        assert(j >= Lo2 && j <= Hi2);
        assert(k >= Lo3 && k <= Hi3);
        constexpr int n2 = Hi2 - Lo2 + 1;
        constexpr int n3 = Hi3 - Lo3 + 1;
        return static_cast<std::size_t>(((i - Lo1) * n2 + (j - Lo2)) * n3 + (k - Lo3));
    }
    std::array<T, static_cast<std::size_t>((Hi1 - Lo1 + 1) * (Hi2 - Lo2 + 1) * (Hi3 - Lo3 + 1))> m_v{};
};

// Band numbers: band b has the centre frequency 10^(b/10) Hz.
inline constexpr int FirstBand = 12;      // 16 Hz
inline constexpr int LastBand = 43;       // 20 kHz
inline constexpr int FirstDataBand = 22;  // 160 Hz
inline constexpr int LastDataBand = 39;   // 8 kHz

using BandArray = Indexed<f32, FirstBand, LastBand>;
using BandTableI16 = Indexed<i16, FirstBand, LastBand>;

}  // namespace kov
