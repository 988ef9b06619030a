#pragma once

#include <memory>
#include <new>
#include <type_traits>
#include <utility>

namespace pictora {

// A std::allocator whose containers leave new elements of trivial types
// uninitialised when resized: for large buffers that are written in full at
// once, which then pay neither for zeroing nor for touching every page twice.
template <typename T>
class UninitialisedAllocator : public std::allocator<T> {
public:
    template <typename U>
    struct rebind {
        using other = UninitialisedAllocator<U>;
    };

    UninitialisedAllocator() = default;
    template <typename U>
    UninitialisedAllocator(const UninitialisedAllocator<U>&) noexcept {}

    template <typename U>
    void construct(U* place) noexcept(std::is_nothrow_default_constructible_v<U>) {
        ::new (static_cast<void*>(place)) U;
    }
    template <typename U, typename... Arguments>
    void construct(U* place, Arguments&&... arguments) {
        std::allocator_traits<std::allocator<T>>::construct(static_cast<std::allocator<T>&>(*this), place,
                                                            std::forward<Arguments>(arguments)...);
    }
};

}  // namespace pictora
