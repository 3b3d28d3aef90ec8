#pragma once

#include <cstddef>
#include <cstdint>

// Little-endian reading and writing of the records the core puts in files (Bitmap and
// AVI headers): byte by byte, so that neither the host's byte order nor a record's
// alignment in memory matters. Compilers turn each call into one load or store.
namespace bytes {

// Writes at a cursor. Made with nullptr it only counts, so that a record's size on disk
// can be derived at compile time from the function that encodes it.
class LeWriter {
public:
    constexpr explicit LeWriter(std::uint8_t* p) : p_(p) {}

    constexpr void u8(std::uint8_t v) { put(v, 1); }
    constexpr void u16(std::uint16_t v) { put(v, 2); }
    constexpr void u32(std::uint32_t v) { put(v, 4); }
    constexpr void u64(std::uint64_t v) { put(v, 8); }
    constexpr void i16(std::int16_t v) { put(std::uint16_t(v), 2); }
    constexpr void i32(std::int32_t v) { put(std::uint32_t(v), 4); }
    constexpr void zeros(std::size_t n) {
        for (std::size_t i = 0; i < n; ++i)
            put(0, 1);
    }

    // Bytes written (or counted) so far.
    constexpr std::size_t count() const { return count_; }

private:
    constexpr void put(std::uint64_t v, int n) {
        if (p_ != nullptr)
            for (int i = 0; i < n; ++i)
                *p_++ = std::uint8_t(v >> (8 * i));
        count_ += std::size_t(n);
    }

    std::uint8_t* p_;
    std::size_t count_ = 0;
};

class LeReader {
public:
    constexpr explicit LeReader(const std::uint8_t* p) : p_(p) {}

    constexpr std::uint16_t u16() { return std::uint16_t(get(2)); }
    constexpr std::uint32_t u32() { return std::uint32_t(get(4)); }
    constexpr std::int16_t i16() { return std::int16_t(get(2)); }
    constexpr std::int32_t i32() { return std::int32_t(get(4)); }

private:
    constexpr std::uint64_t get(int n) {
        std::uint64_t v = 0;
        for (int i = 0; i < n; ++i)
            v |= std::uint64_t(*p_++) << (8 * i);
        return v;
    }

    const std::uint8_t* p_;
};

// The size on disk of a record, derived from the function that encodes it: the
// encode(LeWriter&, const Record&) found beside the record.
template <typename Record> constexpr std::size_t encodedSize() {
    LeWriter counter(nullptr);
    encode(counter, Record{});
    return counter.count();
}

// Writes a record's bytes at `at`: exactly encodedSize<Record>() of them.
template <typename Record> constexpr void encodeAt(std::uint8_t* at, const Record& record) {
    LeWriter w(at);
    encode(w, record);
}

} // namespace bytes
