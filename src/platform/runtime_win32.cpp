// The few parts of the C++ runtime the program uses, without the exception
// machinery behind them: the program has no exceptions, so a failed
// allocation or a broken string invariant ends the process, as it would
// anyway, and the library's throwing versions are never linked in.
#include <cstddef>
#include <cstdlib>
#include <new>
// The library calls these by name, which a build that sees the whole
// program must keep.
#define KEEP __attribute__((externally_visible))

KEEP void* operator new(std::size_t size) {
  void* block = std::malloc(size != 0 ? size : 1);
  if (block == nullptr) std::abort();
  return block;
}
KEEP void* operator new[](std::size_t size) { return operator new(size); }
KEEP void operator delete(void* block) noexcept { std::free(block); }
KEEP void operator delete[](void* block) noexcept { std::free(block); }
KEEP void operator delete(void* block, std::size_t) noexcept { std::free(block); }
KEEP void operator delete[](void* block, std::size_t) noexcept { std::free(block); }

namespace std {
KEEP void __throw_bad_alloc() { abort(); }
KEEP void __throw_bad_array_new_length() { abort(); }
KEEP void __throw_length_error(const char*) { abort(); }
KEEP void __throw_logic_error(const char*) { abort(); }
KEEP void __throw_out_of_range(const char*) { abort(); }
KEEP void __throw_out_of_range_fmt(const char*, ...) { abort(); }
KEEP void __throw_invalid_argument(const char*) { abort(); }
KEEP void __throw_bad_function_call() { abort(); }
// A broken index check: the program stops rather than read or write astray.
KEEP void __glibcxx_assert_fail(const char*, int, const char*, const char*) noexcept { abort(); }
}  // namespace std

namespace __gnu_cxx {
KEEP void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
