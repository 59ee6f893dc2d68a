#pragma once

#include <cstddef>
#include <cstdint>

namespace palvina {

// Zero-filled pixel memory. Screen-size and larger buffers are mapped in 2 MB pages where the
// kernel offers them: first-touch page faults of 4 KB pages otherwise cost more than the
// composition itself on some machines.
class PixelBuffer {
public:
    PixelBuffer() = default;
    explicit PixelBuffer(std::size_t size);
    ~PixelBuffer();
    PixelBuffer(const PixelBuffer& other);
    PixelBuffer& operator=(const PixelBuffer& other);
    PixelBuffer(PixelBuffer&& other) noexcept;
    PixelBuffer& operator=(PixelBuffer&& other) noexcept;

    std::uint8_t* data() { return data_; }
    const std::uint8_t* data() const { return data_; }
    std::size_t size() const { return size_; }

private:
    void release();

    std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t mapped_ = 0;  // bytes mapped with mmap, 0 when allocated with calloc
};

} // namespace palvina
