#include "platform/LargeBuffer.h"

#include <sys/mman.h>

#include <new>
#include <utility>

namespace ardvel {

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

}  // namespace

LargeBuffer::LargeBuffer(std::size_t words) : size_(words)
{
    if (words == 0) return;
    bytes_ = (words * sizeof(std::uint64_t) + kHugePage - 1) / kHugePage * kHugePage;
    // One huge page more, so that the words can start on a huge page's
    // boundary, the only place the system puts one.
    const std::size_t mapped = bytes_ + kHugePage;
    void* region = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (region == MAP_FAILED) throw std::bad_alloc();
    auto* start = static_cast<char*>(region);
    const std::size_t skip = (kHugePage - reinterpret_cast<std::uintptr_t>(start) % kHugePage) % kHugePage;
    if (skip != 0) ::munmap(start, skip);
    ::munmap(start + skip + bytes_, kHugePage - skip);
    words_ = reinterpret_cast<std::uint64_t*>(start + skip);
#ifdef MADV_HUGEPAGE
    ::madvise(words_, bytes_, MADV_HUGEPAGE);  // a hint: without it, small pages
#endif
}

LargeBuffer::~LargeBuffer()
{
    if (words_ != nullptr) ::munmap(words_, bytes_);
}

LargeBuffer::LargeBuffer(LargeBuffer&& other) noexcept
    : words_(std::exchange(other.words_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      bytes_(std::exchange(other.bytes_, 0))
{
}

LargeBuffer& LargeBuffer::operator=(LargeBuffer&& other) noexcept
{
    if (this != &other) {
        if (words_ != nullptr) ::munmap(words_, bytes_);
        words_ = std::exchange(other.words_, nullptr);
        size_ = std::exchange(other.size_, 0);
        bytes_ = std::exchange(other.bytes_, 0);
    }
    return *this;
}

}  // namespace ardvel
