// The model target's operators new and delete: blocks of 8 MB or more are kept when freed, two
// at the most, and handed out again for the same size. Importing an OBJ file maps 16 MiB afresh
// and fills it (seen with strace and perf: one mapping per import, whatever the file's size),
// which under AddressSanitizer is new memory faulted in page by page: most of a run's time.
// Everything else goes to malloc and free, which AddressSanitizer checks for overruns, uses after
// release and leaks as before; what goes unseen is a kept block's use after its release and a
// block from new released by free or by the wrong delete.
#include <malloc.h>

#include <cstdlib>
#include <new>

namespace {
const size_t bigBlock = 8u << 20;

struct Kept {
    void* block;
    size_t size;
};
Kept kept[2] = {};

void* allocate(size_t size)
{
    if (size >= bigBlock) {
        for (Kept& k : kept) {
            if (k.block && k.size == size) {
                void* block = k.block;
                k.block = nullptr;
                return block;
            }
        }
    }
    return std::malloc(size ? size : 1);
}

void release(void* block)
{
    if (!block)
        return;
    size_t size = malloc_usable_size(block);
    if (size >= bigBlock) {
        for (Kept& k : kept) {
            if (!k.block) {
                k = { block, size };
                return;
            }
        }
    }
    std::free(block);
}

void* allocateOrThrow(size_t size)
{
    if (void* block = allocate(size))
        return block;
    throw std::bad_alloc();
}
}

void* operator new(size_t size)
{
    return allocateOrThrow(size);
}
void* operator new[](size_t size)
{
    return allocateOrThrow(size);
}
void* operator new(size_t size, const std::nothrow_t&) noexcept
{
    return allocate(size);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept
{
    return allocate(size);
}
void operator delete(void* block) noexcept
{
    release(block);
}
void operator delete[](void* block) noexcept
{
    release(block);
}
void operator delete(void* block, size_t) noexcept
{
    release(block);
}
void operator delete[](void* block, size_t) noexcept
{
    release(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept
{
    release(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept
{
    release(block);
}
