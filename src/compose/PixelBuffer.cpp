#include "compose/PixelBuffer.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <sys/mman.h>
#include <utility>

namespace palvina {

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kMapThreshold = std::size_t{1} << 20;

} // namespace

PixelBuffer::PixelBuffer(std::size_t size) : size_(size)
{
    if (size == 0) {
        return;
    }
    if (size >= kMapThreshold) {
        // Map a little more than needed so the buffer can start on a 2 MB boundary, then give the
        // unused head and tail back; anonymous memory is already zero.
        const std::size_t rounded = (size + kHugePage - 1) / kHugePage * kHugePage;
        const std::size_t span = rounded + kHugePage;
        void* raw = mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (raw != MAP_FAILED) {
            const auto base = reinterpret_cast<std::uintptr_t>(raw);
            const std::uintptr_t aligned = (base + kHugePage - 1) & ~(kHugePage - 1);
            if (aligned > base) {
                munmap(raw, aligned - base);
            }
            const std::size_t tail = base + span - (aligned + rounded);
            if (tail > 0) {
                munmap(reinterpret_cast<void*>(aligned + rounded), tail);
            }
            data_ = reinterpret_cast<std::uint8_t*>(aligned);
            mapped_ = rounded;
            madvise(data_, mapped_, MADV_HUGEPAGE);
            return;
        }
    }
    data_ = static_cast<std::uint8_t*>(std::calloc(size, 1));
    if (!data_) {
        throw std::bad_alloc();
    }
}

PixelBuffer::~PixelBuffer()
{
    release();
}

void PixelBuffer::release()
{
    if (mapped_ > 0) {
        munmap(data_, mapped_);
    } else {
        std::free(data_);
    }
    data_ = nullptr;
    size_ = 0;
    mapped_ = 0;
}

PixelBuffer::PixelBuffer(const PixelBuffer& other) : PixelBuffer(other.size_)
{
    if (size_ > 0) {
        std::memcpy(data_, other.data_, size_);
    }
}

PixelBuffer& PixelBuffer::operator=(const PixelBuffer& other)
{
    if (this != &other) {
        PixelBuffer copy(other);
        *this = std::move(copy);
    }
    return *this;
}

PixelBuffer::PixelBuffer(PixelBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      mapped_(std::exchange(other.mapped_, 0))
{
}

PixelBuffer& PixelBuffer::operator=(PixelBuffer&& other) noexcept
{
    if (this != &other) {
        release();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        mapped_ = std::exchange(other.mapped_, 0);
    }
    return *this;
}

} // namespace palvina
